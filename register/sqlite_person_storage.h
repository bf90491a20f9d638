// The register as one SQLite file on this computer (nam_data.db): one writer
// at a time through the lock beside the file, writes that compare the values
// as they were read, deleted records in a second table of the same file.
#pragma once

#include "common/single_table_store.h"
#include "register/person_storage.h"

class QSqlQuery;

namespace zelvara {

class MessageSink;

class SqlitePersonStorage final : public PersonStorage {
public:
    enum class Mode {
        Write,     // take the lock; read-only when it is held elsewhere
        ReadOnly,  // never take the lock, never write
    };

    explicit SqlitePersonStorage(MessageSink& sink);
    ~SqlitePersonStorage() override;

    // Opens the file; a missing or empty one is made with the register's
    // fields when it can be written. A file that is not a usable register is
    // reported and left untouched.
    StorageOpening Open(const QString& path, Mode mode);

    QString Location() const override { return path_; }
    QString FilePath() const override { return path_; }
    QSqlDatabase Connection() const override { return store_.Database(); }
    std::optional<std::vector<StoredPerson>> Select(int filterField, const QString& value, QString* why) override;
    std::optional<StoredPerson> SelectOne(qint64 rowId, QString* why) override;
    PersonWrite Insert(const PersonValues& values) override;
    PersonWrite Update(const StoredPerson& asRead, const PersonValues& values) override;
    PersonWrite Remove(const StoredPerson& asRead) override;
    std::optional<std::vector<DeletedPerson>> Deleted(QString* why) override;
    PersonWrite Restore(qint64 number) override;
    PersonWrite InsertAll(const std::vector<PersonValues>& records, const std::function<void(int done)>& progress,
                          const RecordBirthTimes& times, const RecordProfiles& profiles) override;
    std::optional<BirthTimeEntry> ReadBirthTime(qint64 rowId, QString* why) override;
    std::optional<std::unordered_map<qint64, BirthTimeEntry>> ReadBirthTimes(QString* why) override;
    PersonWrite WriteBirthTime(qint64 rowId, const BirthTimeEntry& entry) override;
    PersonWrite RemoveBirthTime(qint64 rowId) override;

private:
    void Report(const QString& text) const;
    QString Describe(const QSqlError& error) const;
    PersonWrite Written(const StoreWrite& w) const;
    // The second half of a move between the two tables, in the open
    // transaction: the row leaves its table and the transaction is committed.
    // written when both succeed, else why not.
    PersonWrite FinishMove(QSqlQuery& q, const QString& deleteSql, qint64 key, PersonWrite written);

    MessageSink& sink_;
    SingleTableStore store_;
    QString path_;
};

// The register's table in a file: the eighteen fields as NOT NULL text.
TableLayout PersonTableLayout();
// The eighteen column names in their order; quoted and joined for a statement.
const QStringList& PersonColumns();
QString PersonColumnList();

}  // namespace zelvara
