// The named convention profiles of zelv.ini: section [profiles], one line per
// profile, its name as the key and the switches that differ from the standard
// ones as the value (ConventionsText of engine/conventions.h):
//   [profiles]
//   中州派=palace-month=lunar-split;year-start=lunar-new-year;transform-geng=tendo
// The built-in profile 標準 is not kept there and cannot be written. The
// profile charts are cast by when no client names one is the default:
//   [conventions]
//   default=中州派
#pragma once

#include "engine/conventions.h"
#include "store/settings_file.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace zelvara {

inline const QString kProfilesSection = QStringLiteral("profiles");
inline const QString kConventionsSection = QStringLiteral("conventions");
inline const QString kDefaultProfileKey = QStringLiteral("default");

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

// Whether name can be given to a new profile: not 標準, not a name the file
// has (names compare without regard to case, as the file's keys do), and a
// name SaveConventionProfile takes. False with why otherwise.
bool IsNewConventionProfileName(const SettingsFile& settings, const QString& name, QString* why = nullptr);

// Takes a profile's line out; when it was the default, the default line
// goes in the same write (charts are then cast by 標準). Refuses 標準 and a
// name the file does not have.
bool DeleteConventionProfile(SettingsFile& settings, const QString& name, QString* why = nullptr);

// Gives a profile a new name (IsNewConventionProfileName); the default
// follows it in the same write.
bool RenameConventionProfile(SettingsFile& settings, const QString& name, const QString& newName,
                             QString* why = nullptr);

// The default profile: 標準 when [conventions] default is missing or names
// a profile the file does not have (or cannot read) — why then says so.
ConventionProfile DefaultConventionProfile(const SettingsFile& settings, QString* why = nullptr);
// Makes name the default (標準 or one of the file's profiles).
bool SaveDefaultConventionProfile(SettingsFile& settings, const QString& name, QString* why = nullptr);

// The profile a chart is cast by: the client's (its name as the register
// keeps it beside the record, empty for none chosen) when the file has it,
// else the default. notFound says, in Japanese, why the client's or the
// default's name was not used; empty when nothing is to be said.
struct EffectiveProfile {
    ConventionProfile profile;
    QString notFound;
};
EffectiveProfile ResolveConventionProfile(const SettingsFile& settings, const QString& clientProfileName);

// The correction of a time for which the person chose none: a profile other
// than 標準 brings its own, else the settings' [time] correction holds.
TimeCorrection ProfileTimeCorrection(const ConventionProfile& profile, TimeCorrection settingsCorrection);

}  // namespace zelvara
