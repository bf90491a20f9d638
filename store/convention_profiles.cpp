#include "store/convention_profiles.h"

#include "common/profile_name.h"
#include "common/qstring_utf8.h"

namespace zelvara {
namespace {

const QString kStandardName = Q(kStandardProfileName);

bool Fail(QString* why, const QString& text) {
    if (why) *why = text;
    return false;
}

// Refuses 標準 and a name the file cannot keep as a key.
bool IsWritableName(const QString& name, QString* why) {
    if (name == kStandardName)
        return Fail(why, QStringLiteral("規則の組「%1」は変更できません。別の名前を付けて下さい。").arg(kStandardName));
    if (const QString fault = ProfileNameFault(name); !fault.isEmpty()) return Fail(why, fault);
    return true;
}

// The file's own spelling of a profile's name; empty when it has none.
QString StoredName(const SettingsFile& settings, const QString& name) {
    for (const QString& key : settings.Keys(kProfilesSection))
        if (key.compare(name, Qt::CaseInsensitive) == 0) return key;
    return {};
}

bool IsStoredDefault(const SettingsFile& settings, const QString& name) {
    return settings.Read(kConventionsSection, kDefaultProfileKey, {}).compare(name, Qt::CaseInsensitive) == 0;
}

}  // namespace

QStringList ConventionProfileNames(const SettingsFile& settings) {
    QStringList names{kStandardName};
    for (const QString& key : settings.Keys(kProfilesSection))
        if (key != kStandardName && !names.contains(key)) names << key;
    return names;
}

std::optional<ConventionProfile> LoadConventionProfile(const SettingsFile& settings, const QString& name,
                                                       QString* why) {
    if (name == kStandardName) return ConventionProfile{};
    const QString stored = StoredName(settings, name);
    if (stored.isEmpty()) {
        Fail(why, QStringLiteral("規則の組「%1」は設定ファイル（%2）の [profiles] にありません。使える組: %3")
                      .arg(name, settings.Path(), ConventionProfileNames(settings).join(QStringLiteral("、"))));
        return std::nullopt;
    }
    const QString line = settings.Read(kProfilesSection, stored, {});
    std::string bad;
    const auto conventions = ParseConventionsText(line.toStdString(), &bad);
    if (!conventions) {
        Fail(why, QStringLiteral("規則の組「%1」の「%2」を読めません（設定ファイル %3 の [profiles]）。")
                      .arg(name, Q(bad), settings.Path()));
        return std::nullopt;
    }
    return ConventionProfile{stored.toStdString(), *conventions};
}

bool SaveConventionProfile(SettingsFile& settings, const ConventionProfile& profile, QString* why) {
    const QString name = Q(profile.name).trimmed();
    if (!IsWritableName(name, why)) return false;
    return settings.Write(kProfilesSection, name, Q(ConventionsText(profile.conventions)), why);
}

bool IsNewConventionProfileName(const SettingsFile& settings, const QString& name, QString* why) {
    const QString trimmed = name.trimmed();
    if (!IsWritableName(trimmed, why)) return false;
    if (const QString stored = StoredName(settings, trimmed); !stored.isEmpty())
        return Fail(why, QStringLiteral("規則の組「%1」はもうあります。別の名前を付けて下さい。").arg(stored));
    return true;
}

bool DeleteConventionProfile(SettingsFile& settings, const QString& name, QString* why) {
    if (name == kStandardName) return Fail(why, QStringLiteral("規則の組「%1」は削除できません。").arg(kStandardName));
    const QString stored = StoredName(settings, name);
    if (stored.isEmpty())
        return Fail(why, QStringLiteral("規則の組「%1」は設定ファイル（%2）にありません。").arg(name, settings.Path()));
    QList<SettingsFile::Entry> entries{{kProfilesSection, stored, {}, true}};
    if (IsStoredDefault(settings, stored)) entries.append({kConventionsSection, kDefaultProfileKey, {}, true});
    return settings.Write(entries, why);
}

bool RenameConventionProfile(SettingsFile& settings, const QString& name, const QString& newName, QString* why) {
    const QString stored = StoredName(settings, name);
    if (name == kStandardName || stored.isEmpty())
        return Fail(why, QStringLiteral("規則の組「%1」の名前は変えられません（設定ファイル %2 にありません）。")
                             .arg(name, settings.Path()));
    const QString to = newName.trimmed();
    if (!IsNewConventionProfileName(settings, to, why)) return false;
    QList<SettingsFile::Entry> entries{{kProfilesSection, stored, {}, true},
                                       {kProfilesSection, to, settings.Read(kProfilesSection, stored, {})}};
    if (IsStoredDefault(settings, stored)) entries.append({kConventionsSection, kDefaultProfileKey, to});
    return settings.Write(entries, why);
}

ConventionProfile DefaultConventionProfile(const SettingsFile& settings, QString* why) {
    const QString name = settings.Read(kConventionsSection, kDefaultProfileKey, {});
    if (name.isEmpty() || name == kStandardName) return {};
    QString reason;
    if (auto profile = LoadConventionProfile(settings, name, &reason)) return *profile;
    Fail(why,
         QStringLiteral("既定の流派「%1」を使えないため、「%2」で作成します。\n%3").arg(name, kStandardName, reason));
    return {};
}

bool SaveDefaultConventionProfile(SettingsFile& settings, const QString& name, QString* why) {
    QString stored = name == kStandardName ? name : StoredName(settings, name);
    if (stored.isEmpty())
        return Fail(why, QStringLiteral("規則の組「%1」は設定ファイル（%2）にありません。").arg(name, settings.Path()));
    return settings.Write(kConventionsSection, kDefaultProfileKey, stored, why);
}

EffectiveProfile ResolveConventionProfile(const SettingsFile& settings, const QString& clientProfileName) {
    EffectiveProfile effective;
    QString defaultWhy;
    const ConventionProfile fallback = DefaultConventionProfile(settings, &defaultWhy);
    const QString name = clientProfileName.trimmed();
    if (name.isEmpty()) {
        effective.profile = fallback;
        effective.notFound = defaultWhy;
        return effective;
    }
    QString reason;
    if (auto profile = LoadConventionProfile(settings, name, &reason)) {
        effective.profile = *profile;
        return effective;
    }
    effective.profile = fallback;
    effective.notFound = QStringLiteral("この人物の流派「%1」を使えないため、既定の流派「%2」で作成します。\n%3")
                             .arg(name, Q(fallback.name), reason);
    if (!defaultWhy.isEmpty()) effective.notFound += QLatin1Char('\n') + defaultWhy;
    return effective;
}

TimeCorrection ProfileTimeCorrection(const ConventionProfile& profile, TimeCorrection settingsCorrection) {
    return Q(profile.name) == kStandardName ? settingsCorrection : profile.conventions.correction;
}

}  // namespace zelvara
