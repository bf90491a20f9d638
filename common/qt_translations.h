// Qt's own Japanese texts (file and printer dialogs, the standard buttons of
// message boxes), from the translations Qt installs (qt6-translations-l10n).
#pragma once

class QCoreApplication;

namespace zelvara {

// Installs qtbase_ja.qm on app; false when it is not there (the dialogs then
// keep Qt's English texts).
bool InstallQtJapanese(QCoreApplication& app);

}  // namespace zelvara
