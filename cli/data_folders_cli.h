// The folders zelvara-cli works with: the shipped data (calendar files,
// seeds, pictures) is the program folder its commands are given; the tables
// the user changes lie in the user's folder that the layout rule
// (common/data_folders.h) gives for it.
#pragma once

#include <QString>

#include <string>

namespace zelvara::cli {

// The user's folder for programFolder, created when it is not the program
// folder (a failure is said on stderr; the table that then cannot be opened
// says so again). Needs a QCoreApplication.
QString UserFolder(const std::string& programFolder);

// zelvara-cli --version: the version and the folders in use.
int PrintVersion(const std::string& programFolder);

}  // namespace zelvara::cli
