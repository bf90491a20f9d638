// The settings window's CSV doors: the register written to a CSV file and
// records read from one, with a file dialog, a confirmation, a progress
// dialog for large files and a summary box. Import goes through the desktop
// program's own open register (it holds the lock).
#pragma once

#include "register/register_import.h"

#include <QString>

#include <vector>

class QWidget;

namespace zelvara {

class PersonTable;

// file: the CSV file to use without asking (scripted use, tests); empty
// asks with a file dialog. Exporting to a given file writes UTF-8 unless
// shiftJis. knownProfiles: the profiles the settings have (ImportOptions).
void ExportRegisterCsvDialog(QWidget* parent, PersonTable& table, const QString& file = {}, bool shiftJis = false);
void ImportRegisterCsvDialog(QWidget* parent, PersonTable& table, const QString& file = {},
                             const QStringList& knownProfiles = {});

// What every import of records into the open register shows: readError in a
// box, else a check of every record without writing, a confirmation listing
// the refused ones (numbered by unit, "行目" or "件目"), the import with a
// progress dialog for large files, and a summary box (with the records that
// name a profile not in knownProfiles, when there are some).
void ImportRecordsDialog(QWidget* parent, PersonTable& table, const QString& file, const QString& readError,
                         const std::vector<ImportItem>& items, const QString& title, const QString& unit,
                         const QStringList& knownProfiles = {});

}  // namespace zelvara
