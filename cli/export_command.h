// zelvara-cli export: the batch tools without a screen.
#pragma once

#include <QStringList>

namespace zelvara::cli {

// args: the words after "export": the tool's name, --out, --from, --to,
// --home. Returns the exit code.
int RunExport(const QStringList& args);

}  // namespace zelvara::cli
