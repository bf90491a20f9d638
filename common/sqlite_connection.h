// Named SQLite connections: every table file of the program opens its own,
// under a name unique within the run, and removes it again when done.
#pragma once

#include <QSqlDatabase>
#include <QString>

namespace zelvara {

// A connection name not used before in this run: "<prefix>-<n>".
QString NewConnectionName(const QString& prefix);

// Opens the named connection on the file (never creating or writing it when
// readOnly, but for undoing an interrupted write, see below). Empty on
// success; otherwise the driver's reason, and the connection is removed again.
QString OpenSqliteConnection(const QString& connection, const QString& path, bool readOnly = false);

// A write cut off by a crash or a kill leaves its journal beside the file
// ("<file>-journal"); SQLite undoes the write from it on the next connection
// that may write, while a read-only one cannot read the file at all. Called
// before a read-only opening: when such a journal is there and the file can
// be written, a short connection lets SQLite undo the write. Empty when the
// file can be read (also when the journal belongs to a write still going
// on); otherwise a sentence saying that an interrupted write is there and
// will be undone by the next write.
QString SettleInterruptedWrite(const QString& path);

// Closes and removes the named connection; nothing when it does not exist.
void CloseSqliteConnection(const QString& connection);

// A connection that lives as long as the object: opened on construction,
// closed and removed on destruction.
class ScopedSqliteConnection {
public:
    ScopedSqliteConnection(const QString& connection, const QString& path)
        : name_(connection), error_(OpenSqliteConnection(connection, path)) {}
    ~ScopedSqliteConnection() { CloseSqliteConnection(name_); }
    ScopedSqliteConnection(const ScopedSqliteConnection&) = delete;
    ScopedSqliteConnection& operator=(const ScopedSqliteConnection&) = delete;

    bool ok() const { return error_.isEmpty(); }
    const QString& error() const { return error_; }
    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }

private:
    QString name_;
    QString error_;
};

// A table or field name as an SQL identifier: "name".
inline QString QuotedName(const QString& name) { return QLatin1Char('"') + name + QLatin1Char('"'); }

}  // namespace zelvara
