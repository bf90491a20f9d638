#include "register/sqlite_copy.h"

#include "common/sqlite_connection.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

namespace zelvara {
namespace {

QString SqliteText(sqlite3* db, int rc) {
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
}

// Closes the handle whatever happened while it was open.
struct Handle {
    sqlite3* db = nullptr;
    ~Handle() { sqlite3_close_v2(db); }
};

// Copies every page of `from` into the file `target` (made when missing)
// with SQLite's online backup.
QString BackUpInto(const QString& from, const QString& target, const QString& shownTarget) {
    Handle source, into;
    int rc = sqlite3_open_v2(QFile::encodeName(from).constData(), &source.db, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK) return QStringLiteral("ファイル「%1」を開けません。\n%2").arg(from, SqliteText(source.db, rc));
    sqlite3_busy_timeout(source.db, 3000);
    rc = sqlite3_open_v2(QFile::encodeName(target).constData(), &into.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                         nullptr);
    if (rc != SQLITE_OK)
        return QStringLiteral("ファイル「%1」を作れません。\n%2").arg(shownTarget, SqliteText(into.db, rc));
    sqlite3_busy_timeout(into.db, 3000);
    sqlite3_backup* backup = sqlite3_backup_init(into.db, "main", source.db, "main");
    if (!backup)
        return QStringLiteral("「%1」から「%2」へ写せません。\n%3")
            .arg(from, shownTarget, SqliteText(into.db, SQLITE_ERROR));
    rc = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        return QStringLiteral("「%1」から「%2」へ写せません。\n%3")
            .arg(from, shownTarget, QString::fromUtf8(sqlite3_errstr(rc)));
    // The pages bring the source's journal mode along (a WAL file stays
    // one); the program's files keep a rollback journal.
    rc = sqlite3_exec(into.db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return QStringLiteral("「%1」の書き込み方式を戻せません。\n%2").arg(shownTarget, SqliteText(into.db, rc));
    return {};
}

// Moves the finished copy to its name, only where no file is (the kernel
// refuses atomically when one appeared meanwhile): a rename that never
// replaces, or a hard link where the file system has no such rename.
// 0 or errno (EEXIST when a file is there).
int MoveIntoFreeName(const QByteArray& partial, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, partial.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    if (::link(partial.constData(), to.constData()) != 0) return errno;
    ::unlink(partial.constData());
    return 0;
}

// Why nothing may be written at `to`, or empty: only a regular file is ever
// replaced, and only when the caller says so.
QString RefusedTarget(const QString& to, ExistingFile existing) {
    struct stat st;
    if (::lstat(QFile::encodeName(to).constData(), &st) != 0) return {};
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("「%1」はフォルダーです。写しはファイルの名前を指定してください。").arg(to);
    if (S_ISLNK(st.st_mode))
        return QStringLiteral(
                   "「%1」はシンボリックリンクです。リンクの先を書き換えることはしません。別の名前を指定してください。")
            .arg(to);
    if (!S_ISREG(st.st_mode))
        return QStringLiteral(
                   "「%1」は普通のファイルではありません（デバイスや FIFO など）。別の名前を指定してください。")
            .arg(to);
    if (existing == ExistingFile::Keep)
        return QStringLiteral("ファイル「%1」はすでにあります。上書きしませんでした。").arg(to);
    return {};
}

}  // namespace

QString CopySqliteFile(const QString& from, const QString& to, ExistingFile existing) {
    if (!QFileInfo(from).isFile()) return QStringLiteral("ファイル「%1」がありません。").arg(from);
    if (QString refused = RefusedTarget(to, existing); !refused.isEmpty()) return refused;
    if (QString interrupted = SettleInterruptedWrite(from); !interrupted.isEmpty()) return interrupted;
    const QString partial = QStringLiteral("%1.partial-%2").arg(to).arg(::getpid());
    QFile::remove(partial);
    QString error = BackUpInto(from, partial, to);
    if (error.isEmpty()) {
        const QByteArray source = QFile::encodeName(partial), target = QFile::encodeName(to);
        if (existing == ExistingFile::Keep) {
            if (const int why = MoveIntoFreeName(source, target); why == EEXIST)
                error = QStringLiteral("ファイル「%1」はすでにあります。上書きしませんでした。").arg(to);
            else if (why != 0)
                error = QStringLiteral("ファイル「%1」を書き込めません。").arg(to);
        } else if (!(error = RefusedTarget(to, existing)).isEmpty()) {
            // something else took the name meanwhile
        } else if (std::rename(source.constData(), target.constData()) != 0) {
            error = QStringLiteral("ファイル「%1」を書き込めません。").arg(to);
        }
    }
    if (!error.isEmpty()) QFile::remove(partial);
    return error;
}

QString CopyIntoBackupFolder(const QString& from, const QString& folder, const QString& baseName, QString* copy) {
    if (!QDir().mkpath(folder)) return QStringLiteral("フォルダー「%1」を作れません。").arg(folder);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QDir dir(folder);
    QString error;
    for (int n = 1; n < 1000; ++n) {
        *copy = dir.filePath(n == 1 ? QStringLiteral("%1-%2.db").arg(baseName, stamp)
                                    : QStringLiteral("%1-%2-%3.db").arg(baseName, stamp).arg(n));
        if (QFileInfo::exists(*copy) || QFileInfo(*copy).isSymLink()) continue;
        error = CopySqliteFile(from, *copy);
        if (error.isEmpty() || (!QFileInfo::exists(*copy) && !QFileInfo(*copy).isSymLink()))
            return error;  // done, or failed for another reason than a copy made meanwhile
    }
    return error;
}

QString ReplaceSqliteContent(const QString& from, const QString& into) {
    if (!QFileInfo(from).isFile()) return QStringLiteral("ファイル「%1」がありません。").arg(from);
    return BackUpInto(from, into, into);
}

DailyBackup::DailyBackup(QString registerPath, QString backupFolder, int keep)
    : registerPath_(std::move(registerPath)), folder_(std::move(backupFolder)), keep_(keep) {}

QString DailyBackup::PathFor(const QDate& day) const {
    return QDir(folder_).filePath(QStringLiteral("nam_data-%1.db").arg(day.toString(QStringLiteral("yyyyMMdd"))));
}

QStringList DailyBackup::Copies() const {
    static const QRegularExpression daily(QStringLiteral("^nam_data-\\d{8}\\.db$"));
    QStringList names = QDir(folder_).entryList({QStringLiteral("nam_data-*.db")}, QDir::Files, QDir::Name);
    names = names.filter(daily);
    for (QString& n : names) n = QDir(folder_).filePath(n);
    return names;
}

QString DailyBackup::EnsureCopyOf(const QDate& today) const {
    const QString target = PathFor(today);
    if (QFileInfo::exists(target) || !QFileInfo(registerPath_).isFile()) return {};
    if (!QDir().mkpath(folder_)) return QStringLiteral("バックアップのフォルダー「%1」を作れません。").arg(folder_);
    // Another program may make today's copy at the same moment: its copy is
    // kept, never written over.
    if (QString error = CopySqliteFile(registerPath_, target); !error.isEmpty() && !QFileInfo::exists(target))
        return error;
    QStringList copies = Copies();
    while (copies.size() > keep_) QFile::remove(copies.takeFirst());
    return {};
}

}  // namespace zelvara
