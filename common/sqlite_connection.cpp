#include "common/sqlite_connection.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

namespace zelvara {

QString NewConnectionName(const QString& prefix) {
    static std::atomic<int> serial{0};
    return prefix + QStringLiteral("-%1").arg(++serial);
}

namespace {

// Reads the file's schema through a connection of its own; true when it
// could. A connection that may write undoes an interrupted write first.
bool SchemaReadable(const QString& path, bool readOnly) {
    const QString name = NewConnectionName(QStringLiteral("settle"));
    bool read = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(readOnly ? QStringLiteral("QSQLITE_OPEN_READONLY")
                                      : QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
        if (db.open()) {
            QSqlQuery q(db);
            read = q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) && q.next();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return read;
}

}  // namespace

QString SettleInterruptedWrite(const QString& path) {
    const QFileInfo journal(path + QStringLiteral("-journal"));
    if (!journal.exists() || journal.size() == 0 || !QFileInfo(path).isFile()) return {};
    if (QFileInfo(path).isWritable() && QFileInfo(journal.absolutePath()).isWritable()) SchemaReadable(path, false);
    if (!QFileInfo::exists(journal.filePath()) || SchemaReadable(path, true)) return {};
    return QStringLiteral(
               "「%1」への書き込みが途中で止まった跡（%2）があります。書き込める状態で次に開いたときに、"
               "その書き込みは取り消されて元の内容に戻ります。%1 と %2 は移したり消したりしないでください。"
               "ファイルとフォルダーの書き込み権限を確かめてください。")
        .arg(path, journal.fileName());
}

QString OpenSqliteConnection(const QString& connection, const QString& path, bool readOnly) {
    if (readOnly) {
        if (QString interrupted = SettleInterruptedWrite(path); !interrupted.isEmpty()) return interrupted;
    }
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (readOnly) db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) return {};
        error = db.lastError().text();
    }
    QSqlDatabase::removeDatabase(connection);
    return error;
}

void CloseSqliteConnection(const QString& connection) {
    if (!QSqlDatabase::contains(connection)) return;
    {
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

}  // namespace zelvara
