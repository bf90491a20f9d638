#include "sqlite_copy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <cstdio>
#include <unistd.h>

namespace zelvara {
namespace {

QString SqliteText(sqlite3* db, int rc)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
}

// Closes the handle whatever happened while it was open.
struct Handle {
    sqlite3* db = nullptr;
    ~Handle() { sqlite3_close_v2(db); }
};

// Copies every page of `from` into the file `target` (made when missing)
// with SQLite's online backup.
QString BackUpInto(const QString& from, const QString& target, const QString& shownTarget)
{
    Handle source, into;
    int rc = sqlite3_open_v2(QFile::encodeName(from).constData(), &source.db, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK)
        return QStringLiteral("ファイル「%1」を開けません。\n%2").arg(from, SqliteText(source.db, rc));
    sqlite3_busy_timeout(source.db, 3000);
    rc = sqlite3_open_v2(QFile::encodeName(target).constData(), &into.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK)
        return QStringLiteral("ファイル「%1」を作れません。\n%2").arg(shownTarget, SqliteText(into.db, rc));
    sqlite3_busy_timeout(into.db, 3000);
    sqlite3_backup* backup = sqlite3_backup_init(into.db, "main", source.db, "main");
    if (!backup)
        return QStringLiteral("「%1」から「%2」へ写せません。\n%3").arg(from, shownTarget, SqliteText(into.db, SQLITE_ERROR));
    rc = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        return QStringLiteral("「%1」から「%2」へ写せません。\n%3").arg(from, shownTarget, QString::fromUtf8(sqlite3_errstr(rc)));
    return {};
}

}  // namespace

QString CopySqliteFile(const QString& from, const QString& to)
{
    if (!QFileInfo(from).isFile())
        return QStringLiteral("ファイル「%1」がありません。").arg(from);
    const QString partial = QStringLiteral("%1.partial-%2").arg(to).arg(::getpid());
    QFile::remove(partial);
    QString error = BackUpInto(from, partial, to);
    if (error.isEmpty() && std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(to).constData()) != 0)
        error = QStringLiteral("ファイル「%1」を書き込めません。").arg(to);
    if (!error.isEmpty())
        QFile::remove(partial);
    return error;
}

QString ReplaceSqliteContent(const QString& from, const QString& into)
{
    if (!QFileInfo(from).isFile())
        return QStringLiteral("ファイル「%1」がありません。").arg(from);
    return BackUpInto(from, into, into);
}

DailyBackup::DailyBackup(QString registerPath, QString backupFolder, int keep)
    : registerPath_(std::move(registerPath)), folder_(std::move(backupFolder)), keep_(keep)
{
}

QString DailyBackup::PathFor(const QDate& day) const
{
    return QDir(folder_).filePath(QStringLiteral("nam_data-%1.db").arg(day.toString(QStringLiteral("yyyyMMdd"))));
}

QStringList DailyBackup::Copies() const
{
    static const QRegularExpression daily(QStringLiteral("^nam_data-\\d{8}\\.db$"));
    QStringList names = QDir(folder_).entryList({QStringLiteral("nam_data-*.db")}, QDir::Files, QDir::Name);
    names = names.filter(daily);
    for (QString& n : names)
        n = QDir(folder_).filePath(n);
    return names;
}

QString DailyBackup::EnsureCopyOf(const QDate& today) const
{
    const QString target = PathFor(today);
    if (QFileInfo::exists(target) || !QFileInfo(registerPath_).isFile())
        return {};
    if (!QDir().mkpath(folder_))
        return QStringLiteral("バックアップのフォルダー「%1」を作れません。").arg(folder_);
    if (QString error = CopySqliteFile(registerPath_, target); !error.isEmpty())
        return error;
    QStringList copies = Copies();
    while (copies.size() > keep_)
        QFile::remove(copies.takeFirst());
    return {};
}

}  // namespace zelvara
