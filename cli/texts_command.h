// zelvara-cli texts import --paradox FOLDER [--yes]: the reading-text tables
// and the legends table from the older program's Paradox tables.
#pragma once

#include <QStringList>

namespace zelvara::cli {

// args: the words after "texts", and --home. Without --yes it only checks
// and says what would be replaced (exit 1, nothing changed). Returns 0 done,
// 1 refused or failed (the user's tables unchanged), 2 usage.
int RunTexts(const QStringList& args);

}  // namespace zelvara::cli
