// The register as two tables on a PostgreSQL server, so that several desks
// share one list of clients. Every desk writes; each record carries a version
// that a write must still find (no file lock). The tables are made on first
// use from the same script an administrator can run (data/sql). A connection
// lost while working is made again before the next statement; a read is then
// repeated, a write is reported and left to the user to post again. The
// exact birth times are kept in two more tables beside them.
#pragma once

#include "common/pg_connection.h"
#include "register/person_storage.h"

#include <QSqlDatabase>
#include <QSqlError>

#include <unordered_map>

namespace zelvara {

class ServerPersonStorage final : public PersonStorage {
public:
    explicit ServerPersonStorage(PgConnection connection);
    ~ServerPersonStorage() override;
    ServerPersonStorage(const ServerPersonStorage&) = delete;
    ServerPersonStorage& operator=(const ServerPersonStorage&) = delete;

    void SetPasswordQuestion(std::function<std::optional<QString>(const QString& prompt)> ask) {
        askPassword_ = std::move(ask);
    }
    // Connects, makes the tables when missing (unless readOnly) and checks
    // their columns.
    StorageOpening Open(bool readOnly);

    QString Location() const override;
    QSqlDatabase Connection() const override { return Database(); }
    std::optional<std::vector<StoredPerson>> Select(int filterField, const QString& value, QString* why) override;
    std::optional<StoredPerson> SelectOne(qint64 rowId, QString* why) override;
    PersonWrite Insert(const PersonValues& values) override;
    PersonWrite Update(const StoredPerson& asRead, const PersonValues& values) override;
    PersonWrite Remove(const StoredPerson& asRead) override;
    std::optional<std::vector<DeletedPerson>> Deleted(QString* why) override;
    PersonWrite Restore(qint64 number) override;
    PersonWrite InsertAll(const std::vector<PersonValues>& records, const std::function<void(int done)>& progress,
                          const RecordBirthTimes& times, const RecordProfiles& profiles) override;
    // An advisory lock on the register's table, held by this connection.
    ExclusiveWork TakeExclusiveWork() override;
    void ReleaseExclusiveWork() override;
    std::optional<BirthTimeEntry> ReadBirthTime(qint64 rowId, QString* why) override;
    std::optional<std::unordered_map<qint64, BirthTimeEntry>> ReadBirthTimes(QString* why) override;
    PersonWrite WriteBirthTime(qint64 rowId, const BirthTimeEntry& entry) override;
    PersonWrite RemoveBirthTime(qint64 rowId) override;

    // The script that makes the tables, as shipped in data/sql.
    static QString TableScript();

private:
    QSqlDatabase Database() const;
    bool Connect(QString* why);
    // Before a statement: a connection found lost is made again.
    bool Ready(QString* why);
    // After a failed statement: true when the connection itself is gone.
    bool ConnectionLost();
    QString MakeTables();
    enum class TableState { Missing, Usable, Unusable };
    struct Rights {
        bool read = false;
        bool write = false;
    };
    Rights UserRights() const;
    std::optional<std::vector<StoredPerson>> SelectThroughCache(int filterField, const QString& value, QString* why);
    TableState CheckTables(QString* why) const;
    QString Describe(const QSqlError& error, bool lost) const;
    PersonWrite Refused(const QSqlError& error);
    QString ExclusiveWorkHolder() const;
    // Rolls the open transaction back, then refuses with the error.
    PersonWrite Abandon(QSqlError error);
    // Empty when the exact birth times can be kept: their two tables are
    // there (made now when missing and the register is writable) and the
    // user may read them; else why not, in a sentence.
    QString OpenBirthTimes(bool writable);

    PgConnection connection_;
    QString name_;
    bool readOnly_ = false;
    bool lost_ = false;
    std::function<std::optional<QString>(const QString&)> askPassword_;
    std::unordered_map<qint64, StoredPerson> cache_;  // every record read so far, by number
    QString birthTimesWhy_;                           // why exact birth times cannot be kept here; empty when they can
};

}  // namespace zelvara
