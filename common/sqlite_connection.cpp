#include "sqlite_connection.h"

#include <QSqlDatabase>
#include <QSqlError>

#include <atomic>

namespace zelvara {

QString NewConnectionName(const QString& prefix)
{
    static std::atomic<int> serial{0};
    return prefix + QStringLiteral("-%1").arg(++serial);
}

QString OpenSqliteConnection(const QString& connection, const QString& path, bool readOnly)
{
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (readOnly)
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open())
            return {};
        error = db.lastError().text();
    }
    QSqlDatabase::removeDatabase(connection);
    return error;
}

void CloseSqliteConnection(const QString& connection)
{
    if (!QSqlDatabase::contains(connection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

}  // namespace zelvara
