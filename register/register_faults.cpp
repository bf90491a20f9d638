#include "register/register_faults.h"

#include "common/sqlite_connection.h"
#include "engine/context.h"
#include "register/birth_time_table.h"
#include "register/consultation_storage.h"
#include "register/person_profile_sql.h"
#include "register/person_values.h"
#include "register/register_import.h"
#include "register/sqlite_person_storage.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <algorithm>
#include <optional>
#include <vector>

namespace zelvara {
namespace {

struct SchemaObject {
    QString type, name, table, sql;
    bool operator==(const SchemaObject& o) const {
        return type == o.type && name == o.name && table == o.table && sql.simplified() == o.sql.simplified();
    }
};

struct Schema {
    std::vector<SchemaObject> objects;
    QStringList columns, deletedColumns;
};

QStringList ColumnsOf(const QSqlDatabase& db, const QString& table) {
    QSqlQuery q(db);
    QStringList columns;
    if (q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(QuotedName(table))))
        while (q.next()) columns << q.value(1).toString();
    return columns;
}

std::optional<Schema> SchemaOf(const QSqlDatabase& db, QString* why) {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY rowid"))) {
        *why = q.lastError().text();
        return std::nullopt;
    }
    Schema schema;
    while (q.next())
        schema.objects.push_back(
            {q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString()});
    schema.columns = ColumnsOf(db, kPersonTable);
    schema.deletedColumns = ColumnsOf(db, kDeletedPersonTable);
    return schema;
}

// The schema of a register this program made, with a deleted record and the
// companion table of exact birth times: made once in a temporary folder, so
// that it is always the program's own, whatever it makes.
const Schema& ProgramSchema() {
    static const Schema schema = [] {
        Schema made;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("nam_data.db"));
        {
            SilentSink sink;
            SqlitePersonStorage storage(sink);
            storage.Open(path, SqlitePersonStorage::Mode::Write);
            PersonValues values;
            values.fill(QStringLiteral("x"));
            const PersonWrite w = storage.Insert(values);
            storage.Remove(StoredPerson{w.rowId, 0, values});
        }
        BirthTimeTable birthTimes;
        birthTimes.Open(path, true);
        birthTimes.Close();
        const QString name = NewConnectionName(QStringLiteral("own-schema"));
        if (OpenSqliteConnection(name, path).isEmpty()) {  // the consultation record's tables too
            ConsultationStorage(QSqlDatabase::database(name, false), ConsultationStorage::Dialect::Sqlite, path)
                .Prepare(true);
            QSqlError error;  // and the profiles'
            CreateSqliteProfileTables(QSqlDatabase::database(name, false), &error);
            CloseSqliteConnection(name);
        }
        if (OpenSqliteConnection(name, path, true).isEmpty()) {
            QString why;
            made = SchemaOf(QSqlDatabase::database(name, false), &why).value_or(Schema{});
        }
        CloseSqliteConnection(name);
        return made;
    }();
    return schema;
}

// Objects SQLite makes by itself: the AUTOINCREMENT counters, the statistics
// of ANALYZE and the indexes of UNIQUE and PRIMARY KEY columns.
bool MadeBySqlite(const SchemaObject& o) {
    if (o.type == QLatin1String("table"))
        return o.name == QLatin1String("sqlite_sequence") || o.name.startsWith(QLatin1String("sqlite_stat"));
    return o.type == QLatin1String("index") && o.name.startsWith(QLatin1String("sqlite_autoindex_")) && o.sql.isEmpty();
}

QString ObjectKind(const QString& type) {
    if (type == QLatin1String("table")) return QStringLiteral("表");
    if (type == QLatin1String("view")) return QStringLiteral("ビュー");
    if (type == QLatin1String("trigger")) return QStringLiteral("トリガー");
    if (type == QLatin1String("index")) return QStringLiteral("索引");
    return type;
}

QStringList SchemaFaults(const Schema& found) {
    const Schema& programs = ProgramSchema();
    QStringList faults;
    for (const SchemaObject& o : found.objects) {
        if (MadeBySqlite(o)) continue;
        // A table by its name (its columns may be of an older layout), any
        // other object exactly as the program makes it.
        const auto sameTable = [&o](const SchemaObject& m) { return m.type == o.type && m.name == o.name; };
        const bool virtualTable = o.sql.simplified().startsWith(QLatin1String("CREATE VIRTUAL"), Qt::CaseInsensitive);
        const bool own = o.type == QLatin1String("table") && !virtualTable
                             ? (o.name == kPersonTable || o.name == kDeletedPersonTable ||
                                o.name == QLatin1String(BirthTimeTable::kTableName) ||
                                std::any_of(programs.objects.begin(), programs.objects.end(), sameTable))
                             : std::find(programs.objects.begin(), programs.objects.end(), o) != programs.objects.end();
        if (!own)
            faults << QStringLiteral("%1「%2」は名簿のものではありません（このプログラムは作りません）")
                          .arg(ObjectKind(o.type), o.name);
    }
    if (found.columns.isEmpty())
        faults << QStringLiteral("名簿の表 %1 がありません").arg(kPersonTable);
    else if (found.columns != programs.columns)
        faults << QStringLiteral("名簿の表 %1 の項目が違います: %2")
                      .arg(kPersonTable, found.columns.join(QLatin1Char(',')));
    if (!found.deletedColumns.isEmpty() && found.deletedColumns != programs.deletedColumns)
        faults << QStringLiteral("削除済みデータの表 %1 の項目が違います: %2")
                      .arg(kDeletedPersonTable, found.deletedColumns.join(QLatin1Char(',')));
    return faults;
}

// Every record of the register's table, then every deleted one, against the
// register's rules.
QStringList RecordFaults(const QSqlDatabase& db, const Schema& found, QString* why) {
    RecordChecker checker;
    QStringList faults;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const QString columns = PersonColumnList();
    if (!q.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(columns, kPersonTable))) {
        *why = q.lastError().text();
        return faults;
    }
    for (int n = 1; q.next(); ++n) {
        const PersonValues v = ReadPersonValues(q, 0);
        if (const QString problem = checker.Problem(v); !problem.isEmpty())
            faults << QStringLiteral("%1 件目（%2）: %3").arg(n).arg(v[kFieldName], problem);
    }
    if (found.deletedColumns.isEmpty()) return faults;
    if (!q.exec(QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY %1")
                    .arg(QuotedName(kDeletedNumberColumn), columns, kDeletedPersonTable))) {
        *why = q.lastError().text();
        return faults;
    }
    while (q.next()) {
        const PersonValues v = ReadPersonValues(q, 1);
        if (const QString problem = checker.Problem(v); !problem.isEmpty())
            faults << QStringLiteral("削除済みデータの番号 %1（%2）: %3")
                          .arg(q.value(0).toLongLong())
                          .arg(v[kFieldName], problem);
    }
    return faults;
}

}  // namespace

QStringList RegisterFileFaults(const QString& path) {
    const QString name = NewConnectionName(QStringLiteral("register-check"));
    if (const QString why = OpenSqliteConnection(name, path, true); !why.isEmpty()) return {why};
    QStringList faults;
    {
        const QSqlDatabase db = QSqlDatabase::database(name, false);
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("PRAGMA integrity_check"))) {
            faults << QStringLiteral("SQLite のファイルとして読めません（%1）").arg(q.lastError().text());
        } else {
            while (q.next())
                if (q.value(0).toString() != QLatin1String("ok")) faults << q.value(0).toString();
        }
        QString why;
        const std::optional<Schema> found = faults.isEmpty() ? SchemaOf(db, &why) : std::nullopt;
        if (found) {
            faults << SchemaFaults(*found);
            if (faults.isEmpty()) {
                faults << RecordFaults(db, *found, &why);
                if (!why.isEmpty()) faults << QStringLiteral("記録を読めません（%1）").arg(why);
            }
        } else if (!why.isEmpty()) {
            faults << QStringLiteral("表の一覧を読めません（%1）").arg(why);
        }
    }
    CloseSqliteConnection(name);
    return faults;
}

}  // namespace zelvara
