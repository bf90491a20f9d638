#include "cli/conventions_options.h"

#include "engine/chart_request.h"
#ifdef ZELVARA_HAS_SETTINGS
#include "store/convention_profiles.h"
#endif

#include <iostream>

namespace zelvara::cli {
namespace {

bool IsCorrection(const ConventionSwitch& s) { return s.key == "correction"; }

QString OptionName(const ConventionSwitch& s) { return QString::fromUtf8(s.key.data(), qsizetype(s.key.size())); }

QString WordsText(const ConventionSwitch& s, const char* separator) {
    QStringList words;
    for (std::string_view w : s.words) words << QString::fromUtf8(w.data(), qsizetype(w.size()));
    return words.join(QString::fromUtf8(separator));
}

std::optional<ConventionProfile> NamedProfile(const Options& opts, const std::string& name) {
    if (name.empty() || name == kStandardProfileName) return ConventionProfile{};
#ifdef ZELVARA_HAS_SETTINGS
    QString why;
    const SettingsFile settings(opts.value(QStringLiteral("settings")));
    if (auto profile = LoadConventionProfile(settings, QString::fromStdString(name), &why)) return profile;
    std::cerr << why.toStdString() << "\n";
#else
    (void)opts;
    std::cerr << "規則の組「" << name << "」はありません。この版で使えるのは「" << kStandardProfileName
              << "」と、規則ごとのオプションです。\n";
#endif
    return std::nullopt;
}

}  // namespace

void AddConventionOptions(Options& parser) {
    parser.addOption({QStringLiteral("profile"),
                      QStringLiteral("the conventions to cast by: 標準 (the default, the program's own rules) or a "
                                     "profile of the settings file's [profiles]"),
                      QStringLiteral("NAME")});
    for (const ConventionSwitch& s : ConventionSwitches()) {
        if (IsCorrection(s)) continue;
        parser.addOption(
            {OptionName(s),
             QStringLiteral("convention: %1 (標準: %2)")
                 .arg(WordsText(s, ", "), QString::fromUtf8(s.words[0].data(), qsizetype(s.words[0].size()))),
             WordsText(s, "|")});
    }
#ifdef ZELVARA_HAS_SETTINGS
    parser.addOption({QStringLiteral("settings"),
                      QStringLiteral("settings file (default: the user's zelv.ini): the profiles of --profile, and "
                                     "the footer of a print or a picture, the logo of the 鑑定書"),
                      QStringLiteral("zelv.ini")});
#endif
}

bool ConventionsChosen(const Options& opts) {
    if (opts.isSet(QStringLiteral("profile"))) return true;
    for (const ConventionSwitch& s : ConventionSwitches())
        if (!IsCorrection(s) && opts.isSet(OptionName(s))) return true;
    return false;
}

std::optional<ConventionProfile> ReadConventionOptions(const Options& opts) {
    std::optional<ConventionProfile> profile =
        NamedProfile(opts, NormalizeTypedText(Value(opts, QStringLiteral("profile"))));
    if (!profile) return std::nullopt;
    bool changed = false;
    for (const ConventionSwitch& s : ConventionSwitches()) {
        if (IsCorrection(s) || !opts.isSet(OptionName(s))) continue;
        const std::string word = NormalizeTypedText(Value(opts, OptionName(s)));
        if (!SetConvention(profile->conventions, s.key, word)) {
            std::cerr << "--" << s.key << " には " << WordsText(s, "、").toStdString()
                      << " のどれかを指定して下さい（指定: " << word << "）。\n";
            return std::nullopt;
        }
        changed = true;
    }
    // A profile changed by an option is no longer the named one.
    if (changed) profile->name += "（指定で変更）";
    return profile;
}

}  // namespace zelvara::cli
