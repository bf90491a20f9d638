#include "legends_table.h"

#include "context.h"
#include "cp932.h"
#include "sqlite_connection.h"
#include "zelvara.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace zelvara {
namespace {

constexpr const char* kTableName = "helpbun";

QString FromView(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

}  // namespace

const QStringList& LegendFieldNames()
{
    static const QStringList names = [] {
        QStringList list;
        for (int star = 1; star <= kLegendFields; ++star)
            list << FromView(kStarLongNames[star]);
        return list;
    }();
    return names;
}

const QStringList& LegendPictureFiles()
{
    static const QStringList files = [] {
        QStringList list;
        for (int star = 1; star <= kLegendFields; ++star)
            list << FromView(kStarPictureFiles[star - 1]);
        return list;
    }();
    return files;
}

LegendSeed ParseLegendSeed(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    const QStringList lines = text.split(lineBreak);
    LegendSeed seed;
    bool inRecord = false;
    int field = -1;  // inside a text block
    QStringList block;
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        const auto fail = [&](const QString& what) {
            seed.error = QStringLiteral("%1 行目: %2").arg(i + 1).arg(what);
            return seed;
        };
        if (field >= 0) {
            if (line == QLatin1String(">>")) {
                seed.values[field] = block.join(QLatin1Char('\n'));
                field = -1;
                block.clear();
            } else {
                block << line;
            }
            continue;
        }
        const QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(QLatin1Char('#')))
            continue;
        if (t == QStringLiteral("[記録]")) {
            if (inRecord)
                return fail(QStringLiteral("この表の記録は一つだけです。"));
            inRecord = true;
            continue;
        }
        const qsizetype colon = t.indexOf(QLatin1Char(':'));
        if (!inRecord || colon < 0)
            return fail(QStringLiteral("読めない行です：%1").arg(t));
        const QString name = t.left(colon).trimmed();
        const QString value = t.mid(colon + 1).trimmed();
        const int index = int(LegendFieldNames().indexOf(name));
        if (index < 0)
            return fail(QStringLiteral("「%1」はこの表の項目ではありません。").arg(name));
        if (value == QLatin1String("<<"))
            field = index;
        else
            seed.values[index] = value;
    }
    if (field >= 0)
        seed.error = QStringLiteral("「%1」の文章が「>>」で閉じられていません。").arg(LegendFieldNames().at(field));
    return seed;
}

LegendsTable::LegendsTable(MessageSink& sink)
    : sink_(sink), connection_(NewConnectionName(QStringLiteral("legends")))
{
}

LegendsTable::~LegendsTable() { Close(); }

void LegendsTable::Report(const QString& text) const { sink_.Show(text.toStdString(), {}); }

bool LegendsTable::Open(const QString& folder)
{
    Close();
    path_ = QDir(folder).filePath(QString::fromLatin1(kFileName));
    const QFileInfo info(path_);
    const bool fresh = !info.exists() || info.size() == 0;
    if (const QString why = OpenSqliteConnection(connection_, path_); !why.isEmpty()) {
        Report(QStringLiteral("星の説明のファイル「%1」を開けません。\n%2").arg(path_, why));
        return false;
    }
    open_ = true;
    bool ok = fresh ? CreateFromSeed(true) : Load();
    if (ok && rowId_ < 0)  // a legends table without its record
        ok = CreateFromSeed(false) && Load();
    if (!ok)
        Close();
    return ok;
}

void LegendsTable::Close()
{
    values_ = {};
    modified_ = false;
    rowId_ = -1;
    if (!open_)
        return;
    open_ = false;
    CloseSqliteConnection(connection_);
}

bool LegendsTable::CreateFromSeed(bool createTable)
{
    QFile file(QString::fromLatin1(kSeedResource));
    LegendSeed seed;
    if (!file.open(QIODevice::ReadOnly))
        seed.error = QStringLiteral("見本の文章が見つかりません。");
    else
        seed = ParseLegendSeed(QString::fromUtf8(file.readAll()));
    if (!seed.error.isEmpty()) {
        Report(QStringLiteral("星の説明の見本を読めません（%1）。").arg(seed.error));
        return false;
    }
    QSqlDatabase db = QSqlDatabase::database(connection_);
    QStringList columns, marks;
    for (const QString& name : LegendFieldNames()) {
        columns << QuotedName(name);
        marks << QStringLiteral("?");
    }
    db.transaction();
    QSqlQuery q(db);
    bool ok = true;
    if (createTable) {
        QStringList defs;
        for (const QString& c : columns)
            defs << c + QStringLiteral(" TEXT NOT NULL DEFAULT ''");
        ok = q.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(QLatin1String(kTableName), defs.join(QStringLiteral(", "))));
    }
    if (ok) {
        ok = q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                           .arg(QLatin1String(kTableName), columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
        for (const QString& value : seed.values)
            q.addBindValue(value);
        ok = ok && q.exec();
    }
    if (!ok || !db.commit()) {
        const QString why = q.lastError().isValid() ? q.lastError().text() : db.lastError().text();
        db.rollback();
        Report(QStringLiteral("星の説明のファイル「%1」を作れません。\n%2").arg(path_, why));
        return false;
    }
    return Load();
}

bool LegendsTable::Load()
{
    QSqlDatabase db = QSqlDatabase::database(connection_);
    QSqlQuery q(db);
    const QStringList& names = LegendFieldNames();
    if (!db.tables().contains(QLatin1String(kTableName))) {
        Report(QStringLiteral("「%1」は星の説明の表ではありません（表 helpbun がありません）。\nファイルはそのままにしてあります。").arg(path_));
        return false;
    }
    const QSqlRecord record = db.record(QLatin1String(kTableName));
    for (const QString& name : names) {
        if (record.indexOf(name) < 0) {
            Report(QStringLiteral("「%1」は星の説明の表ではありません（項目「%2」がありません）。\nファイルはそのままにしてあります。").arg(path_, name));
            return false;
        }
    }
    QStringList columns;
    for (const QString& name : names)
        columns << QuotedName(name);
    if (!q.exec(QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid LIMIT 1")
                    .arg(columns.join(QStringLiteral(", ")), QLatin1String(kTableName)))) {
        Report(QStringLiteral("星の説明のファイル「%1」を読めません。\n%2").arg(path_, q.lastError().text()));
        return false;
    }
    rowId_ = -1;
    values_ = {};
    modified_ = false;
    if (q.next()) {
        rowId_ = q.value(0).toLongLong();
        for (int i = 0; i < kLegendFields; ++i)
            values_[i] = q.value(i + 1).toString();
    }
    return true;
}

QString LegendsTable::Value(const QString& field) const
{
    const int i = int(LegendFieldNames().indexOf(field));
    return i < 0 ? QString() : values_[i];
}

void LegendsTable::SetValue(const QString& field, const QString& text)
{
    const int i = int(LegendFieldNames().indexOf(field));
    if (i < 0 || !open_ || values_[i] == text)
        return;
    values_[i] = text;
    modified_ = true;
}

bool LegendsTable::Post()
{
    if (!open_ || rowId_ < 0)
        return false;
    if (!modified_)
        return true;
    const QStringList& names = LegendFieldNames();
    std::array<QString, kLegendFields> stored;
    for (int i = 0; i < kLegendFields; ++i) {
        stored[i] = cp932::RemapInputMethodChars(values_[i]);
        QString bad;
        if (!cp932::Encode(stored[i], &bad)) {
            Report(QStringLiteral("「%1」の説明にシフトJISで書けない文字「%2」があります。\nその文字を直してから閉じてください。")
                       .arg(names.at(i), bad));
            return false;
        }
    }
    QSqlDatabase db = QSqlDatabase::database(connection_);
    QStringList sets;
    for (const QString& name : names)
        sets << QuotedName(name) + QStringLiteral(" = ?");
    db.transaction();
    QSqlQuery q(db);
    bool ok = q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(QLatin1String(kTableName), sets.join(QStringLiteral(", "))));
    for (const QString& value : stored)
        q.addBindValue(value);
    q.addBindValue(rowId_);
    ok = ok && q.exec() && q.numRowsAffected() == 1;
    if (!ok || !db.commit()) {
        const QString why = q.lastError().isValid() ? q.lastError().text() : db.lastError().text();
        db.rollback();
        Report(QStringLiteral("星の説明を書き込めません。\n%1").arg(why));
        return false;
    }
    values_ = stored;
    modified_ = false;
    return true;
}

}  // namespace zelvara
