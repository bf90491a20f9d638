#include "batch/koyomi_table.h"

#include "batch/batch_files.h"
#include "common/cp932.h"
#include "common/sqlite_connection.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <array>

namespace zelvara::batch {
namespace {

constexpr std::array<const char*, kPalaces + 1> kPalacePrefixes = {"",     "FU",  "M",    "KEI", "SAI", "JYO", "ZAI",
                                                                   "YAKU", "SEN", "BOKU", "KAN", "DEN", "TOKU"};
constexpr int kIntegerFields = 11;  // KOYOMI, eight pillars, two luck ages

QString CreateStatement() {
    const QStringList& names = KoyomiFieldNames();
    QStringList cols;
    cols << QuotedName(names[0]) + QLatin1String(" INTEGER PRIMARY KEY");
    for (int i = 1; i < kIntegerFields; ++i) cols << QuotedName(names[i]) + QLatin1String(" SMALLINT NOT NULL");
    for (int i = kIntegerFields; i < names.size(); ++i)
        cols << QuotedName(names[i]) + QStringLiteral(" VARCHAR(%1) NOT NULL DEFAULT ''").arg(kKoyomiSlotBytes);
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(QLatin1String(kKoyomiTableName), cols.join(QLatin1String(", ")));
}

QString InsertStatement() {
    QStringList marks;
    for (int i = 0; i < KoyomiFieldNames().size(); ++i) marks << QStringLiteral("?");
    return QStringLiteral("INSERT INTO %1 VALUES (%2)")
        .arg(QLatin1String(kKoyomiTableName), marks.join(QLatin1Char(',')));
}

}  // namespace

const QStringList& KoyomiFieldNames() {
    static const QStringList names = [] {
        QStringList n = {QStringLiteral("KOYOMI"), QStringLiteral("y10"),   QStringLiteral("m10"),
                         QStringLiteral("d10"),    QStringLiteral("j10"),   QStringLiteral("y12"),
                         QStringLiteral("m12"),    QStringLiteral("d12"),   QStringLiteral("j12"),
                         QStringLiteral("ritsuM"), QStringLiteral("ritsuF")};
        for (int p = 1; p <= kPalaces; ++p)
            for (int r = 1; r <= kBoxSlots; ++r) n << KoyomiSlotField(p, r);
        return n;
    }();
    return names;
}

QString KoyomiSlotField(int palace, int slot) {
    return QLatin1String(kPalacePrefixes[palace]) + QStringLiteral("%1").arg(slot, 2, 10, QLatin1Char('0'));
}

std::int32_t KoyomiKey(int year, int month, int day, int hourIndex) {
    return ((year * 100 + month) * 100 + day) * 100 + hourIndex;
}

KoyomiWriter::KoyomiWriter(QString path)
    : path_(std::move(path)),
      connection_(NewConnectionName(QStringLiteral("koyomi-writer"))),
      // A non-null empty QString, so that an empty slot is stored as empty text, not NULL.
      empty_{std::string(), QVariant(QString(QLatin1String("")))} {}

QString KoyomiWriter::Open() {
    for (const QString& stale : {path_, path_ + QStringLiteral("-journal")})
        if (QFile::exists(stale) && !QFile::remove(stale))
            return CannotWriteMessage(stale, QStringLiteral("前の内容を消せません"));
    if (QString why = OpenSqliteConnection(connection_, path_); !why.isEmpty()) return CannotWriteMessage(path_, why);
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"))) return CannotWriteMessage(path_, q.lastError().text());
    if (!db.transaction()) return CannotWriteMessage(path_, db.lastError().text());
    if (!q.exec(CreateStatement())) return Abort(q.lastError().text());
    if (!db.commit()) return Abort(db.lastError().text());
    if (QString error = insert_.Prepare(db, InsertStatement()); !error.isEmpty())
        return CannotWriteMessage(path_, error);
    return {};
}

QString KoyomiWriter::Begin() {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    return db.transaction() ? QString() : CannotWriteMessage(path_, db.lastError().text());
}

const SlotText* KoyomiWriter::Text(const std::string& caption, int palace, int slot, QString& error) {
    if (caption.empty()) return &empty_;  // most slots
    if (auto it = texts_.find(caption); it != texts_.end()) return &it->second;
    const QString text = QString::fromStdString(caption);
    error = cp932::CheckFieldText(KoyomiSlotField(palace, slot), text, kKoyomiSlotBytes);
    if (!error.isEmpty()) return nullptr;
    return &texts_.emplace(caption, SlotText{caption, QVariant(text)}).first->second;
}

QString KoyomiWriter::Append(std::int32_t key, const Tmandata& man, int firstLuckAgeMale, int firstLuckAgeFemale,
                             const ChartLayout& layout) {
    int i = 0;
    insert_.BindInt(i++, key);
    for (int v : {man.stems.year, man.stems.month, man.stems.day, man.stems.hour, man.branches.year, man.branches.month,
                  man.branches.day, man.branches.hour, firstLuckAgeMale, firstLuckAgeFemale})
        insert_.BindInt(i++, v);
    for (int p = 1; p <= kPalaces; ++p)
        for (int r = 1; r <= kBoxSlots; ++r) {
            QString error;
            const SlotText* text = Text(layout.boxText[p][r], p, r, error);
            if (!text) return Abort(error);
            insert_.BindText(i++, *text);
        }
    if (QString error = insert_.Exec(); !error.isEmpty()) return Abort(error);
    return {};
}

QString KoyomiWriter::Commit() {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    return db.commit() ? QString() : Abort(db.lastError().text());
}

void KoyomiWriter::Close() {
    insert_.Finish();
    CloseSqliteConnection(connection_);
}

// Rolls back the transaction in progress; what was committed before stays.
QString KoyomiWriter::Abort(const QString& reason) {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    db.rollback();
    return CannotWriteMessage(path_, reason);
}

}  // namespace zelvara::batch
