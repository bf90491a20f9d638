// The settings window's CSV doors: the register written to a CSV file and
// records read from one, with a file dialog, a confirmation, a progress
// dialog for large files and a summary box. Import goes through the desktop
// program's own open register (it holds the lock).
#pragma once

#include <QString>

class QWidget;

namespace zelvara {

class PersonTable;

// file: the CSV file to use without asking (scripted use, tests); empty
// asks with a file dialog. Exporting to a given file writes UTF-8 unless
// shiftJis.
void ExportRegisterCsvDialog(QWidget* parent, PersonTable& table, const QString& file = {}, bool shiftJis = false);
void ImportRegisterCsvDialog(QWidget* parent, PersonTable& table, const QString& file = {});

}  // namespace zelvara
