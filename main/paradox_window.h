// The settings window's Paradox door: records for the open register from a
// Paradox table of the older program (the same check, confirmation and
// summary as a CSV import), and the reading texts and legends from a folder
// of its Paradox tables, replaced only after a confirmation and a backup.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace zelvara {

class PersonTable;

// file: the Paradox table to use without asking (scripted use, tests);
// empty asks with a file dialog.
void ImportRegisterParadoxDialog(QWidget* parent, PersonTable& table, const QString& file = {});

// userFolder: where the user's tables lie. beforeReplace runs once the user
// has agreed (it saves pending edits; false stops with nothing changed);
// afterReplace reopens the tables in use. folder: the Paradox folder to use
// without asking; empty asks with a folder dialog.
void ImportTextsParadoxDialog(QWidget* parent, const QString& userFolder, const std::function<bool()>& beforeReplace,
                              const std::function<void()>& afterReplace, const QString& folder = {});

}  // namespace zelvara
