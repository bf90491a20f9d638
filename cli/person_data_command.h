// zelvara-cli register export-person N --out BASE and register erase N
// [--yes]: a client's own data, written out (BASE.csv and BASE.pdf) or erased
// completely, at the client's request; register profile N [NAME | --clear]:
// the convention profile chosen for the client, shown or set. N is the
// client's number as the notes commands name it (notes list --client N).
#pragma once

#include "cli/command_line.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace zelvara::cli {

int ExportPerson(const Options& opts, const QString& folder, const QString& numberText, const QString& base);
// Without yes: prints what would go and returns 1, changing nothing.
int ErasePerson(const Options& opts, const QString& folder, const QString& numberText, bool yes);
// Without a name and without clear: prints the profile's name, or 「（既定）」
// when none is chosen. knownProfiles: the settings' profiles; a name outside
// them is kept, with a note.
int PersonProfile(const Options& opts, const QString& folder, const QString& numberText,
                  const std::optional<QString>& name, bool clear, const QStringList& knownProfiles);

}  // namespace zelvara::cli
