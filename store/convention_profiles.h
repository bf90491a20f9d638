// The named convention profiles of zelv.ini: section [profiles], one line per
// profile, its name as the key and the switches that differ from the standard
// ones as the value (ConventionsText of engine/conventions.h):
//   [profiles]
//   中州派=palace-month=lunar-split;year-start=lunar-new-year;transform-geng=tendo
// The built-in profile 標準 is not kept there and cannot be written.
#pragma once

#include "engine/conventions.h"
#include "store/settings_file.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace zelvara {

inline const QString kProfilesSection = QStringLiteral("profiles");

// 標準 and the names of the file's profiles, in the file's order.
QStringList ConventionProfileNames(const SettingsFile& settings);

// The profile of a name: 標準 built in, else the file's line. nullopt with why
// (a Japanese message) for a name the file does not have or a line it cannot
// read.
std::optional<ConventionProfile> LoadConventionProfile(const SettingsFile& settings, const QString& name,
                                                       QString* why = nullptr);

// Writes a profile's line; refuses 標準, a name ProfileNameFault refuses
// (common/profile_name.h; why says why), and a file that cannot be written.
bool SaveConventionProfile(SettingsFile& settings, const ConventionProfile& profile, QString* why = nullptr);

}  // namespace zelvara
