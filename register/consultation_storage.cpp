#include "register/consultation_storage.h"

#include "common/sqlite_connection.h"
#include "register/birth_time_sql.h"
#include "register/person_table.h"
#include "register/server_person_storage.h"
#include "register/sql_statement.h"

#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace zelvara {
namespace {

const QString kTable = QString::fromLatin1(kConsultationTableName);
const QString kDeletedTable = QString::fromLatin1(kDeletedConsultationTableName);
// A word common enough is looked for among this many of the newest entries
// before the server's trigram index is asked.
constexpr int kRecentWindow = 10000;
// Two characters are looked for among fewer of them: reading a text for two
// characters costs as much as for more, and the index of character pairs
// serves the rest.
constexpr int kRecentPairWindow = 2000;

// A phrase of the full-text query language.
QString Quoted(QString text) {
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}
const QString kNameColumn = QStringLiteral("\"氏名\"");

// The entry's columns after id, version and person, in the order they are
// bound and read.
QString Fields(const QString& prefix = {}) {
    QStringList names;
    for (const char* c : {"session_date", "session_time", "theme", "question", "notes", "profile", "reading",
                          "birth_time", "fee", "paid", "next_date", "next_time"})
        names << prefix + QLatin1String(c);
    return names.join(QStringLiteral(", "));
}
constexpr int kFieldCount = 12;

QString Text(const QString& s) { return s.isNull() ? QStringLiteral("") : s; }

void BindFields(QSqlQuery& q, const ConsultationEntry& e) {
    q.addBindValue(ConsultationDateText(e.date));
    q.addBindValue(Text(e.time));
    q.addBindValue(Text(e.theme));
    q.addBindValue(Text(e.question));
    q.addBindValue(Text(e.notes));
    q.addBindValue(Text(e.profile));
    q.addBindValue(Text(e.reading));
    q.addBindValue(Text(e.birthTime));
    q.addBindValue(e.fee ? QVariant(*e.fee) : QVariant(QMetaType::fromType<qint64>()));
    q.addBindValue(e.paid);
    q.addBindValue(Text(ConsultationDateText(e.nextDate)));
    q.addBindValue(Text(e.nextTime));
}

// id, version, person and the fields from column first on.
ConsultationEntry EntryAt(const QSqlQuery& q, int first) {
    ConsultationEntry e;
    e.id = q.value(first).toLongLong();
    e.version = q.value(first + 1).toLongLong();
    e.client = q.value(first + 2).toLongLong();
    const int f = first + 3;
    e.date = ParseConsultationDate(q.value(f).toString()).value_or(QDate());
    e.time = q.value(f + 1).toString();
    e.theme = q.value(f + 2).toString();
    e.question = q.value(f + 3).toString();
    e.notes = q.value(f + 4).toString();
    e.profile = q.value(f + 5).toString();
    e.reading = q.value(f + 6).toString();
    e.birthTime = q.value(f + 7).toString();
    if (!q.value(f + 8).isNull()) e.fee = q.value(f + 8).toLongLong();
    e.paid = q.value(f + 9).toBool();
    e.nextDate = ParseConsultationDate(q.value(f + 10).toString()).value_or(QDate());
    e.nextTime = q.value(f + 11).toString();
    return e;
}

QString EntryColumns(const QString& prefix = QStringLiteral("c.")) {
    return QStringLiteral("%1id, %1version, %1person, %2").arg(prefix, Fields(prefix));
}

bool IsSqlite(const QSqlDatabase& db) { return db.driverName() == QLatin1String("QSQLITE"); }

bool TableExists(const QSqlDatabase& db, const QString& table) {
    if (IsSqlite(db)) return SqliteTableExists(db, table);
    QSqlQuery q(db);
    q.prepare(
        QStringLiteral("SELECT 1 FROM pg_catalog.pg_class WHERE relkind = 'r' "
                       "AND relnamespace = current_schema()::regnamespace AND relname = ?"));
    q.addBindValue(table);
    return q.exec() && q.next();
}

// The client's entries can be moved with it: the tables are there and, on a
// server, the user may move entries between them. A user without those
// rights cannot have written any; should another user have, the server's
// reference from the entries keeps the client from being deleted.
bool ClientEntriesMovable(const QSqlDatabase& db) {
    if (!TableExists(db, kTable) || !TableExists(db, kDeletedTable)) return false;
    if (IsSqlite(db)) return true;
    QSqlQuery q(db);
    return q.exec(QStringLiteral("SELECT has_table_privilege('%1', 'SELECT, INSERT, DELETE') AND "
                                 "has_table_privilege('%2', 'SELECT, INSERT, UPDATE, DELETE')")
                      .arg(kTable, kDeletedTable)) &&
           q.next() && q.value(0).toBool();
}

QString Now() { return QDateTime::currentDateTime().toString(Qt::ISODate); }

}  // namespace

ConsultationStorage::ConsultationStorage(QSqlDatabase db, Dialect dialect, QString location)
    : db_(std::move(db)), dialect_(dialect), location_(std::move(location)) {}

QString ConsultationStorage::PersonKey() const {
    return dialect_ == Dialect::Sqlite ? QStringLiteral("rowid") : QStringLiteral("id");
}

bool ConsultationStorage::TablesPresent() const { return TableExists(db_, kTable) && TableExists(db_, kDeletedTable); }

QString ConsultationStorage::MakeTables() {
    if (dialect_ == Dialect::Sqlite) {
        if (!db_.transaction()) return db_.lastError().text();
        QSqlQuery q(db_);
        for (const QString& sql : SqliteConsultationSchema()) {
            if (!q.exec(sql)) {
                const QString why = q.lastError().text();
                db_.rollback();
                return why;
            }
        }
        return db_.commit() ? QString() : db_.lastError().text();
    }
    // A server made by an earlier version: the administrator's script, run
    // again, adds the tables and leaves the others as they are.
    const QString script = ServerPersonStorage::TableScript();
    db_.transaction();
    QSqlQuery q(db_);
    if (q.exec(script) && db_.commit()) return {};
    const QString why = (q.lastError().isValid() ? q.lastError() : db_.lastError()).text().trimmed();
    db_.rollback();
    return why;
}

bool ConsultationStorage::HasPairIndex() const {
    QSqlQuery q(db_);
    return q.exec(QStringLiteral("SELECT to_regclass('consultation_bigrams') IS NOT NULL")) && q.next() &&
           q.value(0).toBool();
}

QString ConsultationStorage::Prepare(bool writable) {
    if (!db_.isOpen()) return QStringLiteral("名簿が開いていません。");
    if (TablesPresent()) {
        // A server made by an earlier version gains the index of character
        // pairs when a desk may make it; without it two characters are
        // looked for by reading the entries.
        if (dialect_ == Dialect::Postgres && writable && !HasPairIndex()) MakeTables();
        return {};
    }
    if (!writable)
        return QStringLiteral("名簿 %1 にはまだ鑑定記録がありません（書き込める名簿を開くと作られます）。")
            .arg(location_);
    if (const QString why = MakeTables(); !why.isEmpty())
        return QStringLiteral("名簿 %1 に鑑定記録の表を作れません（%2）。%3")
            .arg(location_, why,
                 dialect_ == Dialect::Postgres
                     ? QStringLiteral(
                           "サーバーの管理者が data/sql/register-postgresql.sql を実行すると使えるようになります。")
                     : QString());
    return {};
}

QString ConsultationStorage::Describe(const QSqlError& error) const {
    QString advice;
    const QString code = error.nativeErrorCode();
    if (dialect_ == Dialect::Postgres && code == QLatin1String("42501"))
        advice = QStringLiteral(
            "このユーザーには鑑定記録を書き換える権限がありません。サーバーの管理者に確かめてください。");
    else if (dialect_ == Dialect::Sqlite && (code.toInt() & 0xff) == 5)
        advice = QStringLiteral("別のプログラムがファイルを使用中です。しばらく待ってから、もう一度してください。");
    else
        advice = QStringLiteral("ファイルやサーバーの書き込み権限、ディスクの空き、接続を確かめてください。");
    return QStringLiteral("鑑定記録を名簿 %1 に書き込めませんでした。\n%2\n詳細: %3")
        .arg(location_, advice, error.text().trimmed());
}

PersonWrite ConsultationStorage::Refused(const QSqlError& error) {
    if (db_.isOpen()) db_.rollback();
    return PersonWrite::Refused(Describe(error));
}

std::optional<std::vector<ConsultationEntry>> ConsultationStorage::ForClient(qint64 client, QString* why) {
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM %2 c WHERE c.person = ? "
                             "ORDER BY c.session_date DESC, c.session_time DESC, c.id DESC")
                  .arg(EntryColumns(), kTable));
    q.addBindValue(client);
    if (!q.exec()) {
        *why = q.lastError().text().trimmed();
        return std::nullopt;
    }
    std::vector<ConsultationEntry> entries;
    while (q.next()) entries.push_back(EntryAt(q, 0));
    return entries;
}

std::optional<ConsultationEntry> ConsultationStorage::One(qint64 id, QString* why) {
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT %1 FROM %2 c WHERE c.id = ?").arg(EntryColumns(), kTable));
    q.addBindValue(id);
    if (!q.exec()) {
        *why = q.lastError().text().trimmed();
        return std::nullopt;
    }
    if (!q.next()) return std::nullopt;
    return EntryAt(q, 0);
}

std::optional<std::vector<ConsultationListing>> ConsultationStorage::Listings(QSqlQuery& q, QString* why) {
    if (!q.exec()) {
        *why = q.lastError().text().trimmed();
        return std::nullopt;
    }
    std::vector<ConsultationListing> list;
    while (q.next()) list.push_back({EntryAt(q, 0), q.value(3 + kFieldCount).toString(), {}});
    return list;
}

std::optional<std::vector<ConsultationListing>> ConsultationStorage::All(QString* why) {
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1, p.%2 FROM %3 c LEFT JOIN nam_data p ON p.%4 = c.person "
                             "ORDER BY c.person, c.session_date, c.session_time, c.id")
                  .arg(EntryColumns(), kNameColumn, kTable, PersonKey()));
    return Listings(q, why);
}

std::optional<QStringList> ConsultationStorage::Themes(QString* why) {
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT theme, count(*) AS n FROM %1 WHERE theme <> '' GROUP BY theme "
                               "ORDER BY n DESC, theme")
                    .arg(kTable))) {
        *why = q.lastError().text().trimmed();
        return std::nullopt;
    }
    QStringList themes;
    while (q.next()) themes << q.value(0).toString();
    return themes;
}

PersonWrite ConsultationStorage::Insert(const ConsultationEntry& entry) {
    if (const QString problem = ConsultationProblem(entry); !problem.isEmpty()) return PersonWrite::Refused(problem);
    QSqlQuery q(db_);
    // Only for a client in the register: a client deleted meanwhile is none.
    q.prepare(QStringLiteral("INSERT INTO %1 (person, %2) SELECT %3, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ? FROM nam_data "
                             "WHERE %3 = ? RETURNING id, version")
                  .arg(kTable, Fields(), PersonKey()));
    BindFields(q, entry);
    q.addBindValue(entry.client);
    if (!q.exec()) return PersonWrite::Refused(Describe(q.lastError()));
    if (!q.next()) return PersonWrite::StaleRecord();
    return PersonWrite::Done(q.value(0).toLongLong(), q.value(1).toLongLong());
}

PersonWrite ConsultationStorage::Update(const ConsultationEntry& asRead, const ConsultationEntry& entry) {
    ConsultationEntry checked = entry;
    checked.client = asRead.client;
    if (const QString problem = ConsultationProblem(checked); !problem.isEmpty()) return PersonWrite::Refused(problem);
    QStringList assignments;
    for (const QString& c : Fields().split(QStringLiteral(", "))) assignments << c + QStringLiteral(" = ?");
    // A server's trigger counts the version up; a file's statement does.
    if (dialect_ == Dialect::Sqlite) assignments << QStringLiteral("version = version + 1");
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE id = ? AND version = ? RETURNING version")
                  .arg(kTable, assignments.join(QStringLiteral(", "))));
    BindFields(q, entry);
    q.addBindValue(asRead.id);
    q.addBindValue(asRead.version);
    if (!q.exec()) return PersonWrite::Refused(Describe(q.lastError()));
    if (!q.next()) return PersonWrite::StaleRecord();
    return PersonWrite::Done(asRead.id, q.value(0).toLongLong());
}

PersonWrite ConsultationStorage::Remove(const ConsultationEntry& asRead) {
    if (!db_.transaction()) return PersonWrite::Refused(Describe(db_.lastError()));
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("INSERT INTO %1 (deleted_at, entry_id, with_client, version, person, %2) "
                             "SELECT ?, id, FALSE, version, person, %2 FROM %3 WHERE id = ? AND version = ?")
                  .arg(kDeletedTable, Fields(), kTable));
    q.addBindValue(Now());
    q.addBindValue(asRead.id);
    q.addBindValue(asRead.version);
    if (!q.exec()) return Refused(q.lastError());
    if (q.numRowsAffected() != 1) {
        db_.rollback();
        return PersonWrite::StaleRecord();
    }
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE id = ? AND version = ?").arg(kTable));
    q.addBindValue(asRead.id);
    q.addBindValue(asRead.version);
    if (!q.exec()) return Refused(q.lastError());
    if (q.numRowsAffected() != 1) {
        db_.rollback();
        return PersonWrite::StaleRecord();
    }
    if (!db_.commit()) return Refused(db_.lastError());
    return PersonWrite::Done(asRead.id);
}

std::optional<std::vector<DeletedConsultation>> ConsultationStorage::Deleted(QString* why) {
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT d.number, d.deleted_at, d.with_client, d.entry_id, d.version, d.person, %1, "
                               "CASE WHEN d.client_number IS NULL THEN p.%2 ELSE '' END "
                               "FROM %3 d LEFT JOIN nam_data p ON p.%4 = d.person ORDER BY d.number DESC")
                    .arg(Fields(QStringLiteral("d.")), kNameColumn, kDeletedTable, PersonKey()))) {
        *why = q.lastError().text().trimmed();
        return std::nullopt;
    }
    std::vector<DeletedConsultation> list;
    while (q.next())
        list.push_back({q.value(0).toLongLong(), QDateTime::fromString(q.value(1).toString(), Qt::ISODate),
                        q.value(2).toBool(), EntryAt(q, 3), q.value(6 + kFieldCount).toString()});
    return list;
}

PersonWrite ConsultationStorage::Restore(qint64 number) {
    if (!db_.transaction()) return PersonWrite::Refused(Describe(db_.lastError()));
    QSqlQuery q(db_);
    // Back under its own number (numbers are never given twice), only while
    // its client is in the register.
    q.prepare(QStringLiteral("INSERT INTO %1 (id, version, person, %2) SELECT d.entry_id, d.version, d.person, %3 "
                             "FROM %4 d WHERE d.number = ? AND d.client_number IS NULL "
                             "AND EXISTS (SELECT 1 FROM nam_data p WHERE p.%5 = d.person) RETURNING id, version")
                  .arg(kTable, Fields(), Fields(QStringLiteral("d.")), kDeletedTable, PersonKey()));
    q.addBindValue(number);
    if (!q.exec()) return Refused(q.lastError());
    if (!q.next()) {
        db_.rollback();
        QSqlQuery why(db_);
        why.prepare(QStringLiteral("SELECT client_number IS NOT NULL FROM %1 WHERE number = ?").arg(kDeletedTable));
        why.addBindValue(number);
        if (why.exec() && why.next())
            return PersonWrite::Refused(
                why.value(0).toBool()
                    ? QStringLiteral("削除済みの鑑定記録 %1 の人物は削除されています。先に人物を名簿に戻してください"
                                     "（register undelete）。")
                          .arg(number)
                    : QStringLiteral("削除済みの鑑定記録 %1 の人物が名簿にありません。").arg(number));
        return PersonWrite::Refused(QStringLiteral("削除済みの鑑定記録の番号 %1 はありません。").arg(number));
    }
    const PersonWrite back = PersonWrite::Done(q.value(0).toLongLong(), q.value(1).toLongLong());
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE number = ?").arg(kDeletedTable));
    q.addBindValue(number);
    if (!q.exec()) return Refused(q.lastError());
    if (!db_.commit()) return Refused(db_.lastError());
    return back;
}

PersonWrite ConsultationStorage::InsertAll(const std::vector<ConsultationEntry>& entries) {
    for (size_t n = 0; n < entries.size(); ++n)
        if (const QString problem = ConsultationProblem(entries[n]); !problem.isEmpty())
            return PersonWrite::Refused(QStringLiteral("%1 件目: %2").arg(n + 1).arg(problem));
    if (!db_.transaction()) return PersonWrite::Refused(Describe(db_.lastError()));
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("INSERT INTO %1 (person, %2) SELECT %3, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ? FROM nam_data "
                             "WHERE %3 = ?")
                  .arg(kTable, Fields(), PersonKey()));
    for (size_t n = 0; n < entries.size(); ++n) {
        BindFields(q, entries[n]);
        q.addBindValue(entries[n].client);
        if (!q.exec()) return Refused(q.lastError());
        if (q.numRowsAffected() != 1) {
            db_.rollback();
            return PersonWrite::Refused(
                QStringLiteral("%1 件目の人物（番号 %2）が名簿にありません。何も書き込みませんでした。")
                    .arg(n + 1)
                    .arg(entries[n].client));
        }
    }
    if (!db_.commit()) return Refused(db_.lastError());
    return PersonWrite::Done(-1);
}

std::optional<QString> ConsultationStorage::TrigramsBeginningWith(const QString& pair, QString* why) const {
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS temp.consultation_terms USING "
                               "fts5vocab(main, consultation_text, 'row')"))) {
        *why = q.lastError().text();
        return std::nullopt;
    }
    // The index folds case as the trigram tokenizer does; its terms sort by
    // their UTF-8 bytes, so those that begin with pair lie between pair and
    // pair followed by the last code point.
    const QString folded = pair.toLower();
    q.prepare(QStringLiteral("SELECT term FROM temp.consultation_terms WHERE term > ? AND term < ?"));
    q.addBindValue(folded);
    q.addBindValue(folded + QString::fromUcs4(U"\U0010FFFF"));
    if (!q.exec()) {
        *why = q.lastError().text();
        return std::nullopt;
    }
    QStringList terms;
    while (q.next()) terms << Quoted(q.value(0).toString());
    return terms.join(QStringLiteral(" OR "));
}

std::optional<std::vector<ConsultationListing>> ConsultationStorage::Search(const QString& query, int limit,
                                                                            QString* why) {
    const QString text = query.trimmed();
    if (text.size() < 2) {
        *why = QStringLiteral("検索する言葉は 2 文字以上にしてください。");
        return std::nullopt;
    }
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    const QString select = QStringLiteral("SELECT %1, p.%2 FROM %3 c LEFT JOIN nam_data p ON p.%4 = c.person ")
                               .arg(EntryColumns(), kNameColumn, kTable, PersonKey());
    // The most recently written entries that match, limit of them; shown
    // by the session's date below.
    const QString newest = QStringLiteral(" ORDER BY c.id DESC LIMIT ?");
    const bool shortQuery = text.size() < 3;
    std::optional<std::vector<ConsultationListing>> found;
    if (dialect_ == Dialect::Sqlite) {
        // FTS5's trigram index, read newest first and no further than limit:
        // the query as one phrase, matched anywhere; two characters as any
        // of the indexed trigrams that begin with them.
        const auto expression = shortQuery ? TrigramsBeginningWith(text, why) : std::optional<QString>(Quoted(text));
        if (!expression) return std::nullopt;
        if (expression->isEmpty()) return std::vector<ConsultationListing>{};
        q.prepare(select +
                  QStringLiteral("WHERE c.id IN (SELECT rowid FROM consultation_text WHERE "
                                 "consultation_text MATCH ? ORDER BY rowid DESC LIMIT ?)") +
                  newest);
        q.addBindValue(*expression);
        q.addBindValue(limit);
        q.addBindValue(limit);
        found = Listings(q, why);
    } else if (dialect_ == Dialect::Postgres && !shortQuery) {
        // The expression pg_trgm's index is made on (data/sql).
        QString pattern = text;
        pattern.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
            .replace(QLatin1Char('%'), QLatin1String("\\%"))
            .replace(QLatin1Char('_'), QLatin1String("\\_"));
        // A word common enough is found among the newest entries, read
        // backwards; a rarer one through the trigram index, whose matches are
        // then few (ordered by an expression, so that the server does not
        // read the whole table backwards for them).
        const QString where = QStringLiteral("WHERE (c.theme || E'\\n' || c.question || E'\\n' || c.notes) ILIKE ? ");
        const QString like = QLatin1Char('%') + pattern + QLatin1Char('%');
        q.prepare(select + where +
                  QStringLiteral("AND c.id >= coalesce((SELECT id FROM %1 ORDER BY id DESC LIMIT 1 OFFSET ?), 0)")
                      .arg(kTable) +
                  newest);
        q.addBindValue(like);
        q.addBindValue(kRecentWindow - 1);
        q.addBindValue(limit);
        found = Listings(q, why);
        if (found && int(found->size()) < limit) {
            q.prepare(select + where + QStringLiteral(" ORDER BY c.id + 0 DESC LIMIT ?"));
            q.addBindValue(like);
            q.addBindValue(limit);
            found = Listings(q, why);
        }
    } else {
        // On the server two characters make no trigram: the newest entries
        // are read first, as for a longer word, and when they hold too few
        // the index of character pairs gives the rest (without that index,
        // every entry is read, newest first, until limit of them match).
        // Latin letters in any case, as the file's index matches them.
        const QString where = QStringLiteral(
            "WHERE (strpos(lower(c.theme), lower(?)) > 0 OR strpos(lower(c.question), lower(?)) > 0 "
            "OR strpos(lower(c.notes), lower(?)) > 0) ");
        const auto bindText = [&] {
            for (int i = 0; i < 3; ++i) q.addBindValue(text);
        };
        const bool pairIndex = HasPairIndex();
        if (pairIndex) {
            q.prepare(select + where +
                      QStringLiteral("AND c.id >= coalesce((SELECT id FROM %1 ORDER BY id DESC LIMIT 1 OFFSET ?), 0)")
                          .arg(kTable) +
                      newest);
            bindText();
            q.addBindValue(kRecentPairWindow - 1);
            q.addBindValue(limit);
            found = Listings(q, why);
        }
        if (!pairIndex || (found && int(found->size()) < limit)) {
            q.prepare(select + where +
                      (pairIndex ? QStringLiteral("AND consultation_bigrams(c.theme, c.question, c.notes) @> "
                                                  "ARRAY[lower(?)] ORDER BY c.id + 0 DESC LIMIT ?")
                                 : newest));
            bindText();
            if (pairIndex) q.addBindValue(text);
            q.addBindValue(limit);
            found = Listings(q, why);
        }
    }
    if (!found) return found;
    for (ConsultationListing& l : *found) {
        for (const QString* field : {&l.entry.theme, &l.entry.question, &l.entry.notes})
            if (l.passage = MatchingPassage(*field, text); !l.passage.isEmpty()) break;
    }
    std::stable_sort(found->begin(), found->end(), [](const auto& a, const auto& b) {
        return std::tie(a.entry.date, a.entry.time) > std::tie(b.entry.date, b.entry.time);
    });
    return found;
}

std::optional<std::vector<ConsultationListing>> ConsultationStorage::Agenda(const QDate& from, int days, QString* why) {
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1, p.%2 FROM %3 c LEFT JOIN nam_data p ON p.%4 = c.person "
                             "WHERE c.next_date >= ? AND c.next_date < ? ORDER BY c.next_date, c.next_time, c.id")
                  .arg(EntryColumns(), kNameColumn, kTable, PersonKey()));
    q.addBindValue(ConsultationDateText(from));
    q.addBindValue(ConsultationDateText(from.addDays(days)));
    return Listings(q, why);
}

std::unique_ptr<ConsultationStorage> OpenConsultations(PersonTable& table, QString* why) {
    if (!table.IsOpen()) {
        *why = table.Unavailability().isEmpty() ? QStringLiteral("名簿が開いていません。") : table.Unavailability();
        return nullptr;
    }
    auto storage = std::make_unique<ConsultationStorage>(
        table.Connection(),
        table.IsServer() ? ConsultationStorage::Dialect::Postgres : ConsultationStorage::Dialect::Sqlite,
        table.Location());
    if (QString problem = storage->Prepare(table.IsWritable()); !problem.isEmpty()) {
        *why = problem;
        return nullptr;
    }
    return storage;
}

bool KeepClientConsultations(const QSqlDatabase& db, qint64 client, qint64 number, QSqlError* error) {
    if (!ClientEntriesMovable(db)) return true;
    return RunStatement(db,
                        QStringLiteral("UPDATE %1 SET client_number = ? WHERE person = ? AND client_number IS NULL")
                            .arg(kDeletedTable),
                        {number, client}, error) &&
           RunStatement(
               db,
               QStringLiteral("INSERT INTO %1 (deleted_at, entry_id, client_number, with_client, version, person, %2) "
                              "SELECT ?, id, ?, TRUE, version, person, %2 FROM %3 WHERE person = ? ORDER BY id")
                   .arg(kDeletedTable, Fields(), kTable),
               {Now(), number, client}, error) &&
           RunStatement(db, QStringLiteral("DELETE FROM %1 WHERE person = ?").arg(kTable), {client}, error);
}

bool BringBackClientConsultations(const QSqlDatabase& db, qint64 number, qint64 client, QSqlError* error) {
    if (!ClientEntriesMovable(db)) return true;
    return RunStatement(
               db,
               QStringLiteral("INSERT INTO %1 (id, version, person, %2) SELECT entry_id, version, ?, %2 FROM %3 "
                              "WHERE client_number = ? AND with_client ORDER BY number")
                   .arg(kTable, Fields(), kDeletedTable),
               {client, number}, error) &&
           RunStatement(db, QStringLiteral("DELETE FROM %1 WHERE client_number = ? AND with_client").arg(kDeletedTable),
                        {number}, error) &&
           RunStatement(db,
                        QStringLiteral("UPDATE %1 SET person = ?, client_number = NULL WHERE client_number = ?")
                            .arg(kDeletedTable),
                        {client, number}, error);
}

}  // namespace zelvara
