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
    if (!settings.Keys(kProfilesSection).contains(name)) {
        Fail(why, QStringLiteral("規則の組「%1」は設定ファイル（%2）の [profiles] にありません。使える組: %3")
                      .arg(name, settings.Path(), ConventionProfileNames(settings).join(QStringLiteral("、"))));
        return std::nullopt;
    }
    const QString line = settings.Read(kProfilesSection, name, {});
    std::string bad;
    const auto conventions = ParseConventionsText(line.toStdString(), &bad);
    if (!conventions) {
        Fail(why, QStringLiteral("規則の組「%1」の「%2」を読めません（設定ファイル %3 の [profiles]）。")
                      .arg(name, Q(bad), settings.Path()));
        return std::nullopt;
    }
    return ConventionProfile{name.toStdString(), *conventions};
}

bool SaveConventionProfile(SettingsFile& settings, const ConventionProfile& profile, QString* why) {
    const QString name = Q(profile.name).trimmed();
    if (name == kStandardName)
        return Fail(why, QStringLiteral("規則の組「%1」は変更できません。別の名前を付けて下さい。").arg(kStandardName));
    if (const QString fault = ProfileNameFault(Q(profile.name)); !fault.isEmpty()) return Fail(why, fault);
    return settings.Write(kProfilesSection, name, Q(ConventionsText(profile.conventions)), why);
}

}  // namespace zelvara
