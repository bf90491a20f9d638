// The consultation record kept beside the register, in the same SQLite file
// or on the same PostgreSQL server, over the register's own connection:
// consultation (the entries), consultation_deleted (entries deleted alone, and
// those that went with their deleted client, under the client's number so
// that they come back with it), and the full-text index of themes, questions
// and notes (FTS5 with the trigram tokenizer in a file, pg_trgm on a server).
//
// Every entry carries a version; an edit or a deletion is written only while
// the entry is still at the version it was read at. A file's entries are
// written under the register's one-writer lock (the register must be open
// for writing); on a server an import and bringing entries back take the
// register's work of one at a time (PersonTable::TakeExclusiveWork).
#pragma once

#include "register/consultation_record.h"
#include "register/person_storage.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>

#include <memory>
#include <optional>
#include <vector>

namespace zelvara {

class PersonTable;

inline constexpr const char* kConsultationTableName = "consultation";
inline constexpr const char* kDeletedConsultationTableName = "consultation_deleted";

// An entry with its client's name, as lists across clients show it.
struct ConsultationListing {
    ConsultationEntry entry;
    QString clientName;
    QString passage;  // search: the text around the match
};

struct DeletedConsultation {
    qint64 number = 0;
    QDateTime deletedAt;
    bool withClient = false;  // went with its client; comes back with it
    ConsultationEntry entry;
    QString clientName;  // empty when the client is deleted too
};

class ConsultationStorage {
public:
    enum class Dialect { Sqlite, Postgres };
    ConsultationStorage(QSqlDatabase db, Dialect dialect, QString location);

    Dialect dialect() const { return dialect_; }

    // Makes the tables when missing (writable) and checks that they are
    // there. Empty when the record can be used; else why not, in a sentence.
    QString Prepare(bool writable);

    // A client's entries, newest first.
    std::optional<std::vector<ConsultationEntry>> ForClient(qint64 client, QString* why);
    std::optional<ConsultationEntry> One(qint64 id, QString* why);
    // Every entry, by client and date (export); with the clients' names.
    std::optional<std::vector<ConsultationListing>> All(QString* why);
    // The themes used so far, most used first.
    std::optional<QStringList> Themes(QString* why);

    // Checked with ConsultationProblem first; Stale when the client is not in
    // the register.
    PersonWrite Insert(const ConsultationEntry& entry);
    // Writes over the entry only while it is still at the version it was read.
    PersonWrite Update(const ConsultationEntry& asRead, const ConsultationEntry& entry);
    // Moves it to the deleted entries while it is still as read.
    PersonWrite Remove(const ConsultationEntry& asRead);
    // Deleted entries, newest first.
    std::optional<std::vector<DeletedConsultation>> Deleted(QString* why);
    // Brings an entry deleted alone back under its number; refused while its
    // client is deleted (it comes back with the client).
    PersonWrite Restore(qint64 number);
    // Appends the entries in one transaction: all or none.
    PersonWrite InsertAll(const std::vector<ConsultationEntry>& entries);

    // Entries whose theme, question or notes hold query (two characters or
    // more): the limit most recently written ones that match, shown newest
    // session first, each with its passage. In the file every query goes
    // through the trigram index; on the server three characters or more go
    // through pg_trgm's, two through the index of character pairs
    // (consultation_bigrams) where the server has it.
    std::optional<std::vector<ConsultationListing>> Search(const QString& query, int limit, QString* why);
    // Appointments from `from` for `days` days, by date and time.
    std::optional<std::vector<ConsultationListing>> Agenda(const QDate& from, int days, QString* why);

private:
    QString Describe(const QSqlError& error) const;
    PersonWrite Refused(const QSqlError& error);
    QString PersonKey() const;  // the register's key column: rowid or id
    bool TablesPresent() const;
    QString MakeTables();
    std::optional<std::vector<ConsultationListing>> Listings(QSqlQuery& q, QString* why);
    // The file's full-text query for any indexed trigram that begins with
    // pair; empty when there is none.
    std::optional<QString> TrigramsBeginningWith(const QString& pair, QString* why) const;
    // On a server: whether the index of character pairs is there.
    bool HasPairIndex() const;

    QSqlDatabase db_;
    Dialect dialect_;
    QString location_;
};

// The record of the open register (the table must be open); nullptr with why
// when it cannot be kept there. The tables are made when missing and the
// register is writable.
std::unique_ptr<ConsultationStorage> OpenConsultations(PersonTable& table, QString* why);

// Inside the register's own transaction while a client is deleted: the
// client's entries go to the deleted ones under the client's deleted-record
// number (the entries already deleted alone are marked with it too). Nothing
// to do where the record has no tables. False with *error.
bool KeepClientConsultations(const QSqlDatabase& db, qint64 client, qint64 number, QSqlError* error);
// While the client comes back under a new key: its entries come back with it.
bool BringBackClientConsultations(const QSqlDatabase& db, qint64 number, qint64 client, QSqlError* error);

// The SQL that makes the tables in a register file (tables, indexes, the
// full-text index and the triggers that keep it).
QStringList SqliteConsultationSchema();

}  // namespace zelvara
