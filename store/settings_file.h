// The settings file zelv.ini: [section] headers and key=value lines in
// Shift-JIS. It lives in the per-user configuration folder and is opened for
// each read or write and closed at once. A copy that a text editor saved as
// UTF-8 (with a byte-order mark, or with non-ASCII text in valid UTF-8) is
// read as UTF-8 and written back in Shift-JIS. As Windows' profile functions
// do, blanks around section names, keys and values do not count.
#pragma once

#include "engine/solar_time.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zelvara {

class SettingsFile {
public:
    // path empty = the per-user default (AppConfigLocation/zelv.ini).
    explicit SettingsFile(QString path = {});

    static QString DefaultPath();
    const QString& Path() const { return path_; }

    // Value of key in section; defaultValue when the file, section or key is
    // missing. Section and key names compare without regard to case; values
    // are returned as stored, without the blanks around them.
    QString Read(const QString& section, const QString& key, const QString& defaultValue) const;

    // The keys of a section in the file's order (none when it is missing).
    QStringList Keys(const QString& section) const;

    struct Entry {
        QString section, key, value;
        bool remove = false;  // the key's line is taken out instead (value unused)
    };
    // Sets (or removes) each key in its section in one write of the file,
    // creating file and sections as needed; other lines are kept. False when the file
    // cannot be written or some text has no Shift-JIS form; why then says
    // which, and the file is left as it was.
    bool Write(const QList<Entry>& entries, QString* why = nullptr);
    bool Write(const QString& section, const QString& key, const QString& value, QString* why = nullptr) {
        return Write({{section, key, value}}, why);
    }

private:
    QString path_;
};

// Only the exact text "True" counts as on ("true", "yes" … are off).
inline bool IsSwitchOn(const QString& value) { return value == QLatin1String("True"); }

// [sound] check, default "True".
bool StartupSoundEnabled(const SettingsFile& settings);

// The user's own footer data: [owner] title and tel, empty when missing;
// and logo, the picture file the 鑑定書's cover carries (empty: none).
struct OwnerSettings {
    QString title;
    QString tel;
    QString logo;
};
OwnerSettings LoadOwnerSettings(const SettingsFile& settings);

// [time] correction: how an exact birth time is corrected before charting,
// "none" (the default, also for a missing or unknown word), "mean" or "true".
inline const QString kTimeCorrectionSection = QStringLiteral("time");
inline const QString kTimeCorrectionKey = QStringLiteral("correction");
TimeCorrection LoadTimeCorrection(const SettingsFile& settings);

}  // namespace zelvara
