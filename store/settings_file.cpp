#include "store/settings_file.h"

#include "common/cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <optional>

namespace zelvara {
namespace {

// The text of the file's bytes: UTF-8 when they start with its byte-order
// mark, or when they are valid UTF-8 holding non-ASCII text (Shift-JIS text
// with kana or kanji almost never is); Shift-JIS otherwise.
QString DecodeSettings(const QByteArray& bytes) {
    static const QByteArray bom("\xEF\xBB\xBF");
    if (bytes.startsWith(bom)) return QString::fromUtf8(bytes.mid(bom.size()));
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
    if (!ascii) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8.decode(bytes);
        if (!utf8.hasError()) return text;
    }
    return cp932::Decode(bytes);
}

// The lines of the file; none when it does not exist, nullopt (with why)
// when it exists but cannot be read.
std::optional<QStringList> ReadLines(const QString& path, QString* why = nullptr) {
    QFile f(path);
    if (!f.exists()) return QStringList();
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly)) {
        if (why)
            *why = QStringLiteral("「%1」を読めません（%2）。")
                       .arg(path, QFileInfo(path).isDir() ? QStringLiteral("フォルダです") : f.errorString());
        return std::nullopt;
    }
    QString text = DecodeSettings(f.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.constLast().isEmpty()) lines.removeLast();
    return lines;
}

// Without the spaces and tabs around it, as the profile functions of Windows
// read it (an ideographic space is text, not a blank).
QString Unblanked(QStringView s) {
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    qsizetype from = 0, to = s.size();
    while (from < to && blank(s[from])) ++from;
    while (to > from && blank(s[to - 1])) --to;
    return s.sliced(from, to - from).toString();
}

// "[name]" → name, else empty.
QString SectionOf(const QString& line) {
    const QString t = Unblanked(line);
    if (t.size() >= 2 && t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')))
        return Unblanked(QStringView(t).sliced(1, t.size() - 2));
    return {};
}

bool IsKeyLine(const QString& line, const QString& key, QString* value) {
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0 || Unblanked(line).startsWith(QLatin1Char(';'))) return false;
    if (Unblanked(QStringView(line).left(eq)).compare(key, Qt::CaseInsensitive) != 0) return false;
    if (value) *value = Unblanked(QStringView(line).sliced(eq + 1));
    return true;
}

// Sets key=value in its section of lines: in place of the key's line, else
// after the section's last line of text, else in a new section at the end.
// An entry to remove takes the key's line out, if there is one.
void SetEntry(QStringList& lines, const SettingsFile::Entry& e) {
    const QString entry = e.key + QLatin1Char('=') + e.value;
    qsizetype sectionAt = -1, insertAt = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString name = SectionOf(lines.at(i));
        if (!name.isEmpty()) {
            if (sectionAt >= 0) break;  // left our section without finding the key
            if (name.compare(e.section, Qt::CaseInsensitive) == 0) sectionAt = insertAt = i + 1;
            continue;
        }
        if (sectionAt >= 0) {
            if (IsKeyLine(lines.at(i), e.key, nullptr)) {
                if (e.remove)
                    lines.removeAt(i);
                else
                    lines[i] = entry;
                return;
            }
            if (!Unblanked(lines.at(i)).isEmpty()) insertAt = i + 1;
        }
    }
    if (e.remove) return;
    if (sectionAt < 0)
        lines << QLatin1Char('[') + e.section + QLatin1Char(']') << entry;
    else
        lines.insert(insertAt, entry);
}

}  // namespace

SettingsFile::SettingsFile(QString path) : path_(path.isEmpty() ? DefaultPath() : std::move(path)) {}

QString SettingsFile::DefaultPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("zelv.ini"));
}

QString SettingsFile::Read(const QString& section, const QString& key, const QString& defaultValue) const {
    bool inSection = false;
    for (const QString& line : ReadLines(path_).value_or(QStringList())) {
        const QString name = SectionOf(line);
        if (!name.isEmpty()) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString value;
        if (inSection && IsKeyLine(line, key, &value)) return value;
    }
    return defaultValue;
}

QStringList SettingsFile::Keys(const QString& section) const {
    QStringList keys;
    bool inSection = false;
    for (const QString& line : ReadLines(path_).value_or(QStringList())) {
        const QString name = SectionOf(line);
        if (!name.isEmpty()) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (inSection && eq > 0 && !Unblanked(line).startsWith(QLatin1Char(';')))
            keys << Unblanked(QStringView(line).left(eq));
    }
    return keys;
}

bool SettingsFile::Write(const QList<Entry>& entries, QString* why) {
    QString reason;
    auto fail = [&](const QString& text) {
        if (why) *why = text;
        return false;
    };
    std::optional<QStringList> lines = ReadLines(path_, &reason);
    if (!lines) return fail(reason);
    QString bad;
    for (const Entry& e : entries) {
        if (!cp932::Encode(e.value, &bad))
            return fail(QStringLiteral("「%1」に Shift-JIS で書けない文字「%2」があります。").arg(e.value, bad));
        SetEntry(*lines, e);
    }
    const auto bytes = cp932::Encode(lines->join(QLatin1String("\r\n")) + QLatin1String("\r\n"), &bad);
    if (!bytes) return fail(QStringLiteral("ファイルのほかの行に Shift-JIS で書けない文字「%1」があります。").arg(bad));
    const QString folder = QFileInfo(path_).absolutePath();
    if (!QDir().mkpath(folder)) return fail(QStringLiteral("フォルダ「%1」を作れません。").arg(folder));
    QSaveFile out(path_);
    if (!out.open(QIODevice::WriteOnly)) return fail(out.errorString());
    if (out.write(*bytes) != bytes->size() || !out.commit()) return fail(out.errorString());
    return true;
}

bool StartupSoundEnabled(const SettingsFile& settings) {
    return IsSwitchOn(settings.Read(QStringLiteral("sound"), QStringLiteral("check"), QStringLiteral("True")));
}

OwnerSettings LoadOwnerSettings(const SettingsFile& settings) {
    return {settings.Read(QStringLiteral("owner"), QStringLiteral("title"), QString()),
            settings.Read(QStringLiteral("owner"), QStringLiteral("tel"), QString()),
            settings.Read(QStringLiteral("owner"), QStringLiteral("logo"), QString())};
}

TimeCorrection LoadTimeCorrection(const SettingsFile& settings) {
    const QString word = settings.Read(kTimeCorrectionSection, kTimeCorrectionKey, QStringLiteral("none"));
    return TimeCorrectionFromWord(word.toStdString()).value_or(TimeCorrection::kNone);
}

}  // namespace zelvara
