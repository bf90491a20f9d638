// Output folders and files of the batch tools. A file appears under its own
// name only when it is complete: it is written under its temporary name (the
// name + ".part") and renamed at the end. A run first removes the temporary
// files an earlier, killed run left behind.
#pragma once

#include <QString>
#include <QStringList>

#include <string>

namespace zelvara::batch {

// The lock a run holds in its output folder: one run at a time per folder,
// since a run removes the temporary files it finds there.
inline constexpr const char* kRunLockName = ".zelvara-export.lock";

// Creates the folder (and its parents) when missing. Empty when it exists
// afterwards, else a message naming it.
QString MakeFolder(const QString& path);

// The temporary name a file is written under until it is complete.
QString PartName(const QString& path);

// Writes the bytes as the whole content of the file. Empty on success, else a
// message naming the file; nothing is then left under the temporary name and
// an earlier file under the file's name stays as it was.
QString WriteWholeFile(const QString& path, const std::string& bytes);

// Renames a completed temporary file over the file's name. Empty on success,
// else a message naming the file.
QString RenameOver(const QString& from, const QString& to);

// Removes the files in folder that match the name patterns ("zelv*.txt.part").
// Empty on success (also when the folder does not exist), else a message
// naming the file that could not be removed.
QString RemoveLeftovers(const QString& folder, const QStringList& patterns);

// The message for a file or table that could not be written.
QString CannotWriteMessage(const QString& path, const QString& reason);

}  // namespace zelvara::batch
