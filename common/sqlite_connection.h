// Named SQLite connections: every table file of the program opens its own,
// under a name unique within the run, and removes it again when done.
#pragma once

#include <QSqlDatabase>
#include <QString>

namespace zelvara {

// A connection name not used before in this run: "<prefix>-<n>".
QString NewConnectionName(const QString& prefix);

// Opens the named connection on the file (never creating or writing it when
// readOnly). Empty on success; otherwise the driver's reason, and the
// connection is removed again.
QString OpenSqliteConnection(const QString& connection, const QString& path, bool readOnly = false);

// Closes and removes the named connection; nothing when it does not exist.
void CloseSqliteConnection(const QString& connection);

// A connection that lives as long as the object: opened on construction,
// closed and removed on destruction.
class ScopedSqliteConnection {
public:
    ScopedSqliteConnection(const QString& connection, const QString& path)
        : name_(connection), error_(OpenSqliteConnection(connection, path))
    {
    }
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
