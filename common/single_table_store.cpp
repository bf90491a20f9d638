#include "common/single_table_store.h"

#include "common/cp932.h"
#include "common/sqlite_connection.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QVariant>

namespace zelvara {

QString TableLayout::ColumnSql(const FieldDef& field) const {
    const QString quoted = QuotedName(field.name);
    if (columns == Columns::NotNullText) return quoted + QStringLiteral(" TEXT NOT NULL DEFAULT ''");
    switch (field.type) {
        case FieldType::SmallInt:
            return quoted +
                   (field.name == primaryKey ? QStringLiteral(" SMALLINT NOT NULL PRIMARY KEY")
                                             : QStringLiteral(" SMALLINT")) +
                   QStringLiteral(" CHECK (%1 BETWEEN -32768 AND 32767)").arg(quoted);
        case FieldType::String: return quoted + QStringLiteral(" VARCHAR(%1)").arg(field.size);
        case FieldType::Memo: break;
    }
    return quoted + QStringLiteral(" TEXT");
}

SingleTableStore::SingleTableStore(TableLayout layout, const QString& connectionPrefix)
    : layout_(std::move(layout)), connection_(NewConnectionName(connectionPrefix)) {}

SingleTableStore::~SingleTableStore() { Close(); }

QString SingleTableStore::QuotedTable() const { return QuotedName(layout_.tableName); }

QString SingleTableStore::ColumnList(const QStringList& columns) {
    QStringList quoted;
    for (const QString& c : columns) quoted << QuotedName(c);
    return quoted.join(QLatin1String(", "));
}

QString SingleTableStore::SameValuesCondition(const QStringList& columns) {
    QStringList terms;
    for (const QString& c : columns) terms << QStringLiteral("IFNULL(%1, '') = IFNULL(?, '')").arg(QuotedName(c));
    return terms.join(QLatin1String(" AND "));
}

QString SingleTableStore::Open(const QString& path, bool readOnly) {
    if (open_) CloseSqliteConnection(connection_);  // a lock already taken stays held
    path_ = path;
    const QString why = OpenSqliteConnection(connection_, path_, readOnly);
    open_ = why.isEmpty();
    return why;
}

void SingleTableStore::Close() {
    if (open_ && inTransaction_) Rollback();
    CloseSqliteConnection(connection_);
    open_ = false;
    lock_.reset();
}

QSqlDatabase SingleTableStore::Database() const { return QSqlDatabase::database(connection_, false); }

RegisterLock::State SingleTableStore::TakeLock(const QString& path, QString* holder) {
    lock_ = std::make_unique<RegisterLock>(path);
    const RegisterLock::State state = lock_->state();
    if (holder) *holder = lock_->holder();
    if (state != RegisterLock::State::Held) lock_.reset();
    return state;
}

QString SingleTableStore::CreateTable() {
    QSqlDatabase db = Database();
    QStringList defs;
    for (const FieldDef& f : layout_.fields) defs << layout_.ColumnSql(f);
    db.transaction();
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(QuotedTable(), defs.join(QLatin1String(", "))))) {
        const QString why = q.lastError().text();
        db.rollback();
        return why;
    }
    return db.commit() ? QString() : db.lastError().text();
}

QString SingleTableStore::CheckSchema(SchemaRule rule, QStringList* present) const {
    QSqlQuery q(Database());
    if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(QuotedTable()))) return q.lastError().text();
    QStringList found;
    while (q.next()) found << q.value(1).toString();
    if (found.isEmpty()) return QStringLiteral("表 %1 がありません").arg(layout_.tableName);
    QStringList declared;
    for (const FieldDef& f : layout_.fields)
        if (found.contains(f.name)) declared << f.name;
    if (present) *present = declared;
    switch (rule) {
        case SchemaRule::Exact: {
            QStringList expected;
            for (const FieldDef& f : layout_.fields) expected << f.name;
            if (found != expected) return QStringLiteral("項目が違います: %1").arg(found.join(QLatin1Char(',')));
            break;
        }
        case SchemaRule::AllDeclared:
            for (const FieldDef& f : layout_.fields)
                if (!found.contains(f.name)) return QStringLiteral("項目「%1」がありません").arg(f.name);
            break;
        case SchemaRule::AnyDeclared: break;
    }
    return {};
}

QString SingleTableStore::CheckValues(const QStringList& columns, const QStringList& values,
                                      const QStringList& labels) const {
    for (int c = 0; c < columns.size(); ++c) {
        const int index = layout_.IndexOf(columns[c]);
        if (index < 0) return QStringLiteral("表 %1 に項目「%2」はありません。").arg(layout_.tableName, columns[c]);
        const QString why = CheckFieldValue(layout_.fields[index], values.value(c), labels.value(c));
        if (!why.isEmpty()) return why;
    }
    return {};
}

QStringList SingleTableStore::Writable(QStringList values) {
    for (QString& v : values) v = cp932::RemapInputMethodChars(v);
    return values;
}

QVariant SingleTableStore::Bound(const QString& column, const QString& value) const {
    if (layout_.columns == TableLayout::Columns::NotNullText)
        return value.isNull() ? QStringLiteral("") : value;  // never NULL in these columns
    // Typed columns hold NULL for a value never given, and numbers as numbers.
    const int index = layout_.IndexOf(column);
    if (index >= 0 && layout_.fields[index].type == FieldType::SmallInt)
        return value.isEmpty() ? QVariant() : QVariant(value.toInt());
    return value.isNull() ? QVariant() : QVariant(value);
}

std::optional<QList<SingleTableStore::Row>> SingleTableStore::Select(const QStringList& columns, const QString& orderBy,
                                                                     QString* why, const QString& whereColumn,
                                                                     const QString& whereValue) const {
    QSqlQuery q(Database());
    q.setForwardOnly(true);
    QString sql = QStringLiteral("SELECT rowid%1 FROM %2")
                      .arg(columns.isEmpty() ? QString() : QStringLiteral(", ") + ColumnList(columns), QuotedTable());
    if (!whereColumn.isEmpty()) sql += QStringLiteral(" WHERE %1 = ?").arg(QuotedName(whereColumn));
    sql += QStringLiteral(" ORDER BY ") + orderBy;
    q.prepare(sql);
    if (!whereColumn.isEmpty()) q.addBindValue(Bound(whereColumn, whereValue));
    if (!q.exec()) {
        if (why) *why = q.lastError().text();
        return std::nullopt;
    }
    QList<Row> rows;
    while (q.next()) {
        Row r;
        r.rowId = q.value(0).toLongLong();
        for (int i = 0; i < columns.size(); ++i) r.values << q.value(i + 1).toString();
        rows << std::move(r);
    }
    return rows;
}

std::optional<SingleTableStore::Row> SingleTableStore::SelectRow(qint64 rowId, const QStringList& columns) const {
    QSqlQuery q(Database());
    q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(ColumnList(columns), QuotedTable()));
    q.addBindValue(rowId);
    if (!q.exec() || !q.next()) return std::nullopt;
    Row r;
    r.rowId = rowId;
    for (int i = 0; i < columns.size(); ++i) r.values << q.value(i).toString();
    return r;
}

bool SingleTableStore::Begin() {
    inTransaction_ = Database().transaction();
    return inTransaction_;
}

StoreWrite SingleTableStore::Commit() {
    StoreWrite w;
    QSqlDatabase db = Database();
    inTransaction_ = false;
    w.ok = db.commit();
    if (!w.ok) {
        w.error = db.lastError();
        db.rollback();
    }
    return w;
}

void SingleTableStore::Rollback() {
    inTransaction_ = false;
    Database().rollback();
}

StoreWrite SingleTableStore::Finish(QSqlQuery& q, bool ownTransaction) {
    StoreWrite w;
    if (!q.exec()) {
        w.error = q.lastError();
        if (ownTransaction) Rollback();
        return w;
    }
    w.rowsAffected = q.numRowsAffected();
    w.rowId = q.lastInsertId().toLongLong();
    w.ok = true;
    return w;
}

StoreWrite SingleTableStore::Insert(const QStringList& columns, const QStringList& values) {
    return InsertRows(columns, {values});
}

StoreWrite SingleTableStore::InsertRows(const QStringList& columns, const QList<QStringList>& rows,
                                        const std::function<void(int done)>& progress) {
    const bool own = !inTransaction_;
    if (own && !Begin()) {
        StoreWrite w;
        w.error = Database().lastError();
        return w;
    }
    QSqlQuery q(Database());
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i) marks << QStringLiteral("?");
    StoreWrite w;
    // A file whose table lacks a column says so here, before any record.
    if (!q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                       .arg(QuotedTable(), ColumnList(columns), marks.join(QLatin1Char(','))))) {
        w.error = q.lastError();
        if (own) Rollback();
        return w;
    }
    w.ok = true;
    for (int n = 0; n < rows.size() && w.ok; ++n) {
        for (int c = 0; c < columns.size(); ++c) q.bindValue(c, Bound(columns[c], rows[n].value(c)));
        const StoreWrite one = Finish(q, own);
        w.ok = one.ok;
        w.error = one.error;
        w.rowId = one.rowId;
        w.rowsAffected += one.rowsAffected;
        if (progress && (n + 1) % 1000 == 0) progress(n + 1);
    }
    if (w.ok && own) {
        const StoreWrite done = Commit();
        if (!done.ok) return done;
    }
    return w;
}

StoreWrite SingleTableStore::Update(qint64 rowId, const QStringList& columns, const QStringList& values,
                                    const QStringList* expected) {
    const bool own = !inTransaction_ && Begin();
    QSqlQuery q(Database());
    QStringList sets;
    for (const QString& c : columns) sets << QuotedName(c) + QLatin1String(" = ?");
    QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(QuotedTable(), sets.join(QLatin1String(", ")));
    // Written only over the record as it was read: a record that another
    // program changed or removed meanwhile matches nothing.
    if (expected) sql += QStringLiteral(" AND ") + SameValuesCondition(columns);
    q.prepare(sql);
    for (int c = 0; c < columns.size(); ++c) q.addBindValue(Bound(columns[c], values.value(c)));
    q.addBindValue(rowId);
    if (expected)
        for (int c = 0; c < columns.size(); ++c) q.addBindValue(Bound(columns[c], expected->value(c)));
    StoreWrite w = Finish(q, own);
    w.rowId = rowId;
    if (w.ok && w.rowsAffected != 1) {
        if (own) Rollback();
        w.ok = false;
        return w;
    }
    if (w.ok && own) {
        const StoreWrite done = Commit();
        if (!done.ok) return done;
    }
    return w;
}

QString SingleTableStore::RemoveAll() {
    QSqlQuery q(Database());
    return q.exec(QStringLiteral("DELETE FROM %1").arg(QuotedTable())) ? QString() : q.lastError().text();
}

QString SingleTableStore::InsertSeed(const QList<SeedRecord>& records) {
    QStringList columns;
    for (const FieldDef& f : layout_.fields) columns << f.name;
    QList<QStringList> rows;
    for (const SeedRecord& r : records) {
        QStringList values;
        for (const QString& c : columns) values << r.values.value(c);
        rows << values;
    }
    const StoreWrite w = InsertRows(columns, rows);
    return w.ok ? QString() : w.Why();
}

QString SingleTableStore::CreateFile(const QString& path, const QList<SeedRecord>& records) {
    const QString temp = path + QStringLiteral(".new");
    QFile::remove(temp);
    QString why;
    {
        SingleTableStore seeded(layout_, connection_ + QStringLiteral("-seed"));
        why = seeded.Open(temp);
        if (why.isEmpty()) why = seeded.CreateTable();
        if (why.isEmpty()) why = seeded.InsertSeed(records);
    }
    if (why.isEmpty() && !QFile::remove(path) && QFileInfo::exists(path))
        why = QStringLiteral("空のファイルを置き換えられません");
    if (why.isEmpty() && !QFile::rename(temp, path)) why = QStringLiteral("作った表を「%1」に移せません").arg(path);
    if (!why.isEmpty()) QFile::remove(temp);
    return why;
}

}  // namespace zelvara
