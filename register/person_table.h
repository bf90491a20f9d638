// The person register: the clients' records with the eighteen text fields,
// kept in the SQLite file nam_data.db on this computer or, when chosen, in a
// table on a PostgreSQL server shared by several desks (person_storage.h).
// The table keeps a current record and an edit buffer for it, like a data
// set behind bound controls: edits go into the buffer and are posted by
// Post() or when the current record changes.
//
// A file has one writer. Open() takes the lock beside the file; when another
// program holds it, or the file cannot be written, the register opens
// read-only: browsing, finding and filtering work, edits stay in the buffer
// and are never written. On a server every desk writes; each record carries
// a version. Either way a post writes only over the record as it was read: a
// record changed or removed by someone else meanwhile is refused. Deleted
// records are kept in a second table and can be brought back; before the
// first write of each day a register file is copied to the backup folder.
#pragma once

#include "register/person_storage.h"

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace zelvara {

class MessageSink;
struct PgConnection;

struct PersonRecord {
    qint64 rowId = -1;    // −1: appended, not yet stored
    qint64 version = 0;   // a server record's version as read
    PersonValues values;  // the edit buffer
    PersonValues stored;  // as last read or written
};

class PersonTable : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kFileName = "nam_data.db";
    static constexpr const char* kTableName = kPersonTableName;
    static constexpr const char* kDeletedTableName = kDeletedPersonTableName;

    using Access = RegisterAccess;
    enum class OpenMode {
        Write,     // take the lock; read-only when it is held elsewhere
        ReadOnly,  // never take the lock, never write (listing, checking)
    };

    explicit PersonTable(MessageSink& sink, QObject* parent = nullptr);
    ~PersonTable() override;

    // Opens folder/nam_data.db; a missing or empty file is created with the
    // register's fields when the register can be written. A file that is not a
    // usable register is reported and left untouched; the table then stays
    // closed and Unavailability() says why.
    bool Open(const QString& folder, OpenMode mode = OpenMode::Write);
    // The same for a register file of any name (a backup, an exported copy).
    bool OpenPath(const QString& path, OpenMode mode = OpenMode::Write);
    // The register on a PostgreSQL server; its tables are made on first use.
    // An unreachable server leaves the table closed, Unavailability() saying
    // why. A password the server asks for is asked with SetPasswordQuestion.
    bool OpenServer(const PgConnection& connection, OpenMode mode = OpenMode::Write);
    void Close();
    bool IsOpen() const { return access_ != Access::Closed; }
    bool IsWritable() const { return access_ == Access::Writable; }
    Access access() const { return access_; }
    // The register file; empty for a server register.
    QString FilePath() const { return path_; }
    bool IsServer() const { return server_; }
    // Which register this is, for the status line: the file's path, or the
    // server's database, user and host.
    QString Location() const { return location_; }
    // The open register's connection (the consultation record works on it);
    // invalid while closed.
    QSqlDatabase Connection() const;
    // Why the register is closed or read-only, in a sentence for the page;
    // empty when it is open for writing.
    QString Unavailability() const { return unavailability_; }
    // Leaves the register closed with the reason shown as Unavailability()
    // (an address of a register that is not one).
    void MarkUnavailable(const QString& why);
    // The program holding the lock when another one does; empty otherwise.
    QString LockHolder() const { return lockHolder_; }

    // Where the daily copies go (default: "backup" beside the register) and
    // the date that names them (default: the system date).
    void SetBackupFolder(const QString& folder) { backupFolder_ = folder; }
    QString BackupFolder() const;
    void SetToday(std::optional<QDate> today) { today_ = today; }
    // Asked, with the reason, after a write was refused: true discards the
    // pending edit (the record goes back to what is stored). Without one the
    // reason is only shown.
    void SetDiscardQuestion(std::function<bool(const QString& text)> ask) { askDiscard_ = std::move(ask); }
    // Asked when a server wants a password: the answer, or nullopt to give up.
    // The password is kept for this run only, never written anywhere.
    void SetPasswordQuestion(std::function<std::optional<QString>(const QString& prompt)> ask) {
        askPassword_ = std::move(ask);
    }

    // Records in view (the filter applied), in table order.
    int RecordCount() const { return int(rows_.size()); }
    int CurrentRow() const { return current_; }  // −1 when empty
    const PersonRecord& Record(int row) const { return rows_.at(row); }
    QString Value(int field) const;  // of the current record
    bool IsModified() const { return modified_; }

    // Edit the current record's buffer (appends one when the view is empty).
    void SetValue(int field, const QString& text);

    // Moving posts pending edits first; when the post is refused and the edit
    // is not discarded the current record stays where it is. False when
    // nothing moved. On a read-only register pending edits are dropped.
    bool First();
    bool Prior();
    bool Next();
    bool Last();
    bool MoveTo(int row);

    bool Append();  // a new empty record at the end, made current
    bool Post();    // writes the buffer (checked for size and encoding)
    // Posts without showing anything; on refusal *why holds the reason.
    bool PostQuietly(QString* why);
    void Cancel();  // drops unposted edits
    bool Delete();  // keeps the record among the deleted ones, without asking

    // First record in view whose name begins with prefix (exact characters).
    // Nothing changes when none does.
    bool FindByName(const QString& prefix);

    // Keeps only the records whose field equals value. The field must be one
    // of the register's own; the value is bound, never spliced in.
    bool SetFilter(const QString& field, const QString& value);
    bool ClearFilter();
    bool IsFiltered() const { return filterField_ >= 0; }

    // The record stored under rowId now, whatever the filter; nullopt when
    // it is gone or, with why set, when it cannot be read.
    std::optional<StoredPerson> StoredRecord(qint64 rowId, QString* why) const;
    // Reads the records in view again after work done on the connection
    // itself (the personal-data erasure), the current one kept when it is
    // still there. False after saying why when they cannot be read.
    bool Refresh();

    // The deleted records, newest first; nullopt with why when they cannot
    // be read.
    std::optional<std::vector<DeletedPerson>> ReadDeletedRecords(QString* why) const;
    // The same; when unreadable, says why and gives none.
    std::vector<DeletedPerson> DeletedRecords() const;
    // Brings one back, appended at the end of the register and made current.
    bool Undelete(qint64 number);

    // Every record of the register, whatever the filter, in table order;
    // nullopt with why when the register cannot be read. times, when given,
    // receives each record's exact birth time; profiles each record's
    // profile name (empty: none chosen).
    std::optional<std::vector<PersonValues>> ReadAllRecords(QString* why, RecordBirthTimes* times = nullptr,
                                                            RecordProfiles* profiles = nullptr) const;
    // The same, empty when unreadable (for a look, never for an export).
    std::vector<PersonValues> AllRecords() const {
        return ReadAllRecords(nullptr).value_or(std::vector<PersonValues>{});
    }
    // Appends the records at the end in one transaction, written as given
    // (check them first), each with its exact birth time when times has one
    // and its profile when profiles names one (each empty, or one for each
    // record): all or none. The view is reloaded after. progress, when set,
    // is told how many are written so far.
    bool AppendRecords(const std::vector<PersonValues>& records, QString* why,
                       const std::function<void(int done)>& progress = {}, const RecordBirthTimes& times = {},
                       const RecordProfiles& profiles = {});

    // The exact birth time kept beside a stored record, in the same file or
    // on the same server; none when there is none or it cannot be read.
    std::optional<BirthTimeEntry> BirthTime(qint64 rowId) const;
    // Stores (checked first with BirthTimeEntryFault) or removes it; Stale
    // when the record is not in the register. Nothing is shown.
    PersonWrite WriteBirthTime(qint64 rowId, const BirthTimeEntry& entry);
    PersonWrite RemoveBirthTime(qint64 rowId);

    // The name of the convention profile chosen for a stored record, kept
    // beside it (person_profile_sql.h); empty when none is chosen. nullopt
    // with why when it cannot be read.
    std::optional<QString> ReadProfile(qint64 rowId, QString* why) const;
    // The same, empty when unreadable (for a look).
    QString Profile(qint64 rowId) const { return ReadProfile(rowId, nullptr).value_or(QString()); }
    // Stores the name (checked with ProfileNameFault, kept trimmed) or, when
    // empty, removes the choice, in one transaction; refused with why on a
    // register that cannot be written. Stale when the record is not in the
    // register. Nothing is shown.
    PersonWrite WriteProfile(qint64 rowId, const QString& name);

    // Work of one at a time on the register (PersonStorage::TakeExclusiveWork):
    // an import holds it from before it reads the records present until its
    // records are written, Undelete for its move.
    ExclusiveWork TakeExclusiveWork();
    void ReleaseExclusiveWork();

signals:
    void currentChanged();  // another record, or the current one reloaded
    void recordsReset();    // the view's rows were reloaded
    void valueEdited(int field);
    void accessChanged();
    // The register's connection is about to go (closed, opened elsewhere, or
    // the table ends): whoever works on Connection() lets go of it now.
    void aboutToClose();

private:
    bool Opened(const StorageOpening& opening, OpenMode mode);
    bool Reload(qint64 keepRowId, bool quiet = false);
    bool PostIfModified();
    bool SetCurrent(int row);
    QString FieldProblem() const;
    bool WriteBuffer(QString* why);
    bool RefuseWrite(const QString& why);
    bool RefuseReadOnly();
    void BackUpBeforeFirstWriteOfDay();
    QString StaleRecordReason(qint64 rowId, const PersonValues& expected) const;
    void Report(const QString& text) const;

    MessageSink& sink_;
    std::unique_ptr<PersonStorage> storage_;
    QString path_;
    QString location_;
    bool server_ = false;
    Access access_ = Access::Closed;
    QString unavailability_;
    QString lockHolder_;
    QString backupFolder_;
    std::optional<QDate> today_;
    QDate lastBackup_;
    std::function<bool(const QString&)> askDiscard_;
    std::function<std::optional<QString>(const QString&)> askPassword_;
    std::vector<PersonRecord> rows_;
    int current_ = -1;
    bool modified_ = false;
    int filterField_ = -1;
    QString filterValue_;
};

}  // namespace zelvara
