// Output folders and files of the batch tools. A file appears under its own
// name only when it is complete: it is written under a temporary name and
// renamed at the end.
#pragma once

#include <QString>

#include <string>

namespace zelvara::batch {

// Creates the folder (and its parents) when missing. Empty when it exists
// afterwards, else a message naming it.
QString MakeFolder(const QString& path);

// Writes the bytes as the whole content of the file. Empty on success, else a
// message naming the file; nothing is then left under the file's name.
QString WriteWholeFile(const QString& path, const std::string& bytes);

// The message for a file or table that could not be written.
QString CannotWriteMessage(const QString& path, const QString& reason);

}  // namespace zelvara::batch
