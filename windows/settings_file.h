// The settings file zelv.ini: [section] headers and key=value lines in
// Shift-JIS. It lives in the per-user configuration folder and is opened for
// each read or write and closed at once.
#pragma once

#include <QString>

namespace zelvara {

class SettingsFile {
public:
    // path empty = the per-user default (AppConfigLocation/zelv.ini).
    explicit SettingsFile(QString path = {});

    static QString DefaultPath();
    const QString& Path() const { return path_; }

    // Value of key in section; defaultValue when the file, section or key is
    // missing. Section and key names compare without regard to case, values
    // are returned exactly as stored.
    QString Read(const QString& section, const QString& key, const QString& defaultValue) const;

    // Sets key in section, creating file and section as needed; other lines
    // are kept. False when the file cannot be written or the value has no
    // Shift-JIS form.
    bool Write(const QString& section, const QString& key, const QString& value);

private:
    QString path_;
};

// Only the exact text "True" counts as on ("true", "yes" … are off).
inline bool IsSwitchOn(const QString& value) { return value == QLatin1String("True"); }

// [sound] check, default "True".
bool StartupSoundEnabled(const SettingsFile& settings);

// The user's own footer data: [owner] title and tel, empty when missing.
struct OwnerSettings {
    QString title;
    QString tel;
};
OwnerSettings LoadOwnerSettings(const SettingsFile& settings);

}  // namespace zelvara
