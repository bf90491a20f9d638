// The settings window's CSV doors: the register written to a CSV file and
// records read from one, with a file dialog, a confirmation, a progress
// dialog for large files and a summary box. Import goes through the desktop
// program's own open register (it holds the lock).
#pragma once

class QWidget;

namespace zelvara {

class PersonTable;

void ExportRegisterCsvDialog(QWidget* parent, PersonTable& table);
void ImportRegisterCsvDialog(QWidget* parent, PersonTable& table);

}  // namespace zelvara
