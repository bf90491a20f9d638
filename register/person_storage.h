// Where the register's records are kept: an SQLite file on this computer or a
// table on a PostgreSQL server shared by several desks. PersonTable keeps the
// records in view, the current one and its edit buffer, and talks to the user;
// a storage only reads and writes, and says in a sentence why it could not.
#pragma once

#include "register/birth_time_entry.h"
#include "register/person_fields.h"
#include "register/person_profile_sql.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

namespace zelvara {

using PersonValues = std::array<QString, kPersonFieldCount>;

// The two tables of a register, in a file and on a server alike, and the
// deleted-records table's own columns before the eighteen fields.
inline constexpr const char* kPersonTableName = "nam_data";
inline constexpr const char* kDeletedPersonTableName = "nam_data_deleted";
inline const QString kPersonTable = QString::fromLatin1(kPersonTableName);
inline const QString kDeletedPersonTable = QString::fromLatin1(kDeletedPersonTableName);
inline const QString kDeletedNumberColumn = QStringLiteral("番号");
inline const QString kDeletedAtColumn = QStringLiteral("削除日時");

// A record as it was read. version counts the writes of a server record; a
// file has none (0), its writes compare the values themselves.
struct StoredPerson {
    qint64 rowId = -1;
    qint64 version = 0;
    PersonValues values;
};

struct DeletedPerson {
    qint64 number = 0;  // stable number in the deleted-records table
    QDateTime deletedAt;
    PersonValues values;
};

struct PersonWrite {
    enum class Result {
        Written,
        Stale,   // the record was changed or removed since it was read; nothing written
        Failed,  // the storage refused; why says so for the user
    };
    Result result = Result::Failed;
    qint64 rowId = -1;
    qint64 version = 0;
    QString why;
    bool Ok() const { return result == Result::Written; }

    static PersonWrite Done(qint64 rowId, qint64 version = 0) { return {Result::Written, rowId, version, {}}; }
    static PersonWrite Refused(QString why) { return {Result::Failed, -1, 0, std::move(why)}; }
    static PersonWrite StaleRecord() { return {Result::Stale, -1, 0, {}}; }
};

enum class RegisterAccess {
    Closed,    // no register: the entry boxes still cast charts, nothing is kept
    ReadOnly,  // shown, never written
    Writable,
};

// The outcome of opening a storage: closed with why, read-only with why, or
// writable.
struct StorageOpening {
    RegisterAccess access = RegisterAccess::Closed;
    QString why;
    QString lockHolder;  // the program holding a file's lock, when another one does
};

// Work that must never run twice at once on one register: an import (which
// compares with the records present before it writes) and bringing deleted
// records back. taken, or the holder (a program, user and address) when
// another connection is at such work, or why it could not be asked.
struct ExclusiveWork {
    bool taken = true;
    QString holder;
    QString why;
};

class PersonStorage {
public:
    virtual ~PersonStorage() = default;

    // Where the records are, as the user knows it: the file's path, or the
    // server's database, user and host.
    virtual QString Location() const = 0;
    // The register file, empty for a server.
    virtual QString FilePath() const { return {}; }
    // The connection the records are read and written on; the tables kept
    // beside them (the consultation record) use it too.
    virtual QSqlDatabase Connection() const { return {}; }

    // Every record, or those whose field equals value (bound, never spliced
    // in), in the order they were added. nullopt with why when unreadable.
    virtual std::optional<std::vector<StoredPerson>> Select(int filterField, const QString& value, QString* why) = 0;
    // The record as stored now; nullopt when it is gone or, with why set,
    // when it could not be read.
    virtual std::optional<StoredPerson> SelectOne(qint64 rowId, QString* why) = 0;

    virtual PersonWrite Insert(const PersonValues& values) = 0;
    // Writes over the record only while it is still as it was read.
    virtual PersonWrite Update(const StoredPerson& asRead, const PersonValues& values) = 0;
    // Moves the record, only while it is still as it was read, to the
    // deleted records, its exact birth time and profile with it, in one
    // transaction.
    virtual PersonWrite Remove(const StoredPerson& asRead) = 0;
    // Deleted records, newest first.
    virtual std::optional<std::vector<DeletedPerson>> Deleted(QString* why) = 0;
    // Brings a deleted record back at the end of the register, its exact
    // birth time and profile with it, in one transaction.
    virtual PersonWrite Restore(qint64 number) = 0;
    // Appends the records, each with its exact birth time when times has one
    // and its profile when profiles names one (each empty or one for each
    // record), in one transaction: all or none.
    virtual PersonWrite InsertAll(const std::vector<PersonValues>& records,
                                  const std::function<void(int done)>& progress, const RecordBirthTimes& times,
                                  const RecordProfiles& profiles) = 0;

    // The exact birth time kept beside a record (checked by the caller with
    // BirthTimeEntryFault before it is written): none when there is none or,
    // with why set, when it cannot be read.
    virtual std::optional<BirthTimeEntry> ReadBirthTime(qint64 rowId, QString* why) = 0;
    // Every record's, by record; nullopt with why when unreadable.
    virtual std::optional<std::unordered_map<qint64, BirthTimeEntry>> ReadBirthTimes(QString* why) = 0;
    // Stores or replaces it; Stale when the record is not in the register.
    virtual PersonWrite WriteBirthTime(qint64 rowId, const BirthTimeEntry& entry) = 0;
    // Removes it (nothing to remove is no fault).
    virtual PersonWrite RemoveBirthTime(qint64 rowId) = 0;

    // Takes the register for work of one at a time, tried once without
    // waiting, held until released (each take released once). A file's
    // one-writer lock already keeps such work to one program.
    virtual ExclusiveWork TakeExclusiveWork() { return {}; }
    virtual void ReleaseExclusiveWork() {}
};

// The register's message while another connection holds the work of one at
// a time (ExclusiveWork::holder).
inline QString ExclusiveWorkBusyText(const QString& holder) {
    return QStringLiteral("名簿では %1 が読み込みか削除したデータの復元をしています。").arg(holder);
}

// Shared by both storages: the register's message for a deleted number that
// is not there.
inline QString NoDeletedRecordText(qint64 number) {
    return QStringLiteral("削除済みデータの番号 %1 はありません。").arg(number);
}

}  // namespace zelvara
