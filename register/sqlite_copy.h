// Copies of SQLite files made with SQLite's online backup: the copy is
// consistent even while another connection has the file open, and it appears
// under its name only when complete (written to a temporary name beside it,
// then moved into place). A copy never takes the place of another file
// unless the caller says so.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace zelvara {

enum class ExistingFile {
    Keep,     // a file already at `to` is kept and the copy refused
    Replace,  // a regular file at `to` is replaced (never a folder, link or device)
};

// Empty on success; otherwise what went wrong, naming the file.
QString CopySqliteFile(const QString& from, const QString& to, ExistingFile existing = ExistingFile::Keep);

// A copy of `from` in `folder` (made when missing) named by the moment,
// "<baseName>-YYYYMMDD-HHmmss.db", with "-2", "-3" … when that name is taken:
// every copy keeps its own file. Empty on success; *copy receives the path.
QString CopyIntoBackupFolder(const QString& from, const QString& folder, const QString& baseName, QString* copy);

// Replaces the content of the SQLite file `into` with that of `from`, through
// SQLite itself: one transaction on `into`, so a failure leaves it as it was.
QString ReplaceSqliteContent(const QString& from, const QString& into);

// The daily copies of the register: "<folder>/nam_data-YYYYMMDD.db", one a
// day, the newest `keep` kept.
class DailyBackup {
public:
    DailyBackup(QString registerPath, QString backupFolder, int keep = 30);

    QString PathFor(const QDate& day) const;
    // Makes today's copy unless it is there, then removes the oldest beyond
    // `keep`. Empty on success.
    QString EnsureCopyOf(const QDate& today) const;
    // Copies kept, oldest first.
    QStringList Copies() const;

private:
    QString registerPath_;
    QString folder_;
    int keep_;
};

}  // namespace zelvara
