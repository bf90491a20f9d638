#include "settings_file.h"

#include "cp932.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

namespace zelvara {
namespace {

QStringList ReadLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString text = cp932::Decode(f.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

// "[name]" → name, else empty.
QString SectionOf(const QString& line)
{
    const QString t = line.trimmed();
    if (t.size() >= 2 && t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')))
        return t.mid(1, t.size() - 2).trimmed();
    return {};
}

bool IsKeyLine(const QString& line, const QString& key, QString* value)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0 || line.trimmed().startsWith(QLatin1Char(';')))
        return false;
    if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0)
        return false;
    if (value)
        *value = line.mid(eq + 1);
    return true;
}

}  // namespace

SettingsFile::SettingsFile(QString path) : path_(path.isEmpty() ? DefaultPath() : std::move(path)) {}

QString SettingsFile::DefaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).filePath(QStringLiteral("zelv.ini"));
}

QString SettingsFile::Read(const QString& section, const QString& key, const QString& defaultValue) const
{
    bool inSection = false;
    for (const QString& line : ReadLines(path_)) {
        const QString name = SectionOf(line);
        if (!name.isEmpty()) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString value;
        if (inSection && IsKeyLine(line, key, &value))
            return value;
    }
    return defaultValue;
}

bool SettingsFile::Write(const QString& section, const QString& key, const QString& value)
{
    QStringList lines = ReadLines(path_);
    const QString entry = key + QLatin1Char('=') + value;
    qsizetype sectionAt = -1, insertAt = -1;
    bool done = false;
    for (qsizetype i = 0; i < lines.size() && !done; ++i) {
        const QString name = SectionOf(lines.at(i));
        if (!name.isEmpty()) {
            if (sectionAt >= 0)
                break;  // left our section without finding the key
            if (name.compare(section, Qt::CaseInsensitive) == 0)
                sectionAt = insertAt = i + 1;
            continue;
        }
        if (sectionAt >= 0) {
            if (IsKeyLine(lines.at(i), key, nullptr)) {
                lines[i] = entry;
                done = true;
            } else if (!lines.at(i).trimmed().isEmpty()) {
                insertAt = i + 1;
            }
        }
    }
    if (!done) {
        if (sectionAt < 0) {
            lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
        } else {
            lines.insert(insertAt, entry);
        }
    }
    const auto bytes = cp932::Encode(lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n"));
    if (!bytes)
        return false;
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile out(path_);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(*bytes);
    return out.commit();
}

bool StartupSoundEnabled(const SettingsFile& settings)
{
    return IsSwitchOn(settings.Read(QStringLiteral("sound"), QStringLiteral("check"), QStringLiteral("True")));
}

OwnerSettings LoadOwnerSettings(const SettingsFile& settings)
{
    return {settings.Read(QStringLiteral("owner"), QStringLiteral("title"), QString()),
            settings.Read(QStringLiteral("owner"), QStringLiteral("tel"), QString())};
}

}  // namespace zelvara
