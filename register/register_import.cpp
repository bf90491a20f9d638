#include "register_import.h"

#include "chart_request.h"
#include "cp932.h"
#include "qstring_utf8.h"
#include "sqlite_copy.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace zelvara {
namespace {

bool AllDigits(const std::string& s)
{
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

// A month or day as the entry box reads it (full-width digits too), within lo..hi.
bool NumberWithin(const QString& text, int lo, int hi)
{
    const std::string s = NormalizeTypedText(text.toStdString());
    if (!AllDigits(s) || s.size() > 2)
        return false;
    const int n = std::stoi(s);
    return n >= lo && n <= hi;
}

// Name and birth fields joined: the key two records are the same person by.
QString BirthKey(const PersonValues& v)
{
    QString key;
    for (int i = 0; i < kFirstPalaceField; ++i)
        key += v[i] + QChar(0x1F);
    return key;
}

// Why the exact birth time cannot be kept, or empty. The file cannot ask
// about a longitude outside Japan; a time zone named in it confirms one.
QString BirthTimeProblem(const std::optional<BirthTimeEntry>& entry)
{
    if (!entry)
        return {};
    const bool named = entry->zone == QLatin1String("Asia/Tokyo");
    const QString fault = BirthTimeEntryFault(*entry, named);
    if (!fault.isEmpty() && !named && BirthTimeEntryFault(*entry, true).isEmpty())
        return fault + QStringLiteral("この経度のまま読み込むときは、タイムゾーンの欄に Asia/Tokyo と書いて下さい。");
    return fault;
}

}  // namespace

QString RecordProblem(const PersonValues& v)
{
    for (int i = 0; i < kPersonFieldCount; ++i) {
        const QString problem = cp932::CheckFieldText(FieldLabel(i), v[i], kPersonFields[i].size);
        if (!problem.isEmpty())
            return problem.simplified();
    }
    if (v[kFieldName].trimmed().isEmpty())
        return QStringLiteral("氏名がありません");
    if (v[kFieldSex] != QStringLiteral("男") && v[kFieldSex] != QStringLiteral("女"))
        return QStringLiteral("性別「%1」は「男」か「女」ではありません").arg(v[kFieldSex]);
    if (v[kFieldTime] != Q(kUnknownHourText) && HourIndexOf(v[kFieldTime].toStdString()) == 0)
        return QStringLiteral("生時刻「%1」は 23:00-01:00 から 21:00-23:00 までの十二の時刻か「不明の場合」ではありません")
            .arg(v[kFieldTime]);
    if (!AllDigits(EraYearToWestern(v[kFieldYear].toStdString())))
        return QStringLiteral("生年「%1」は西暦か %2 の年ではありません")
            .arg(v[kFieldYear], Q(kEraLettersText));
    if (!NumberWithin(v[kFieldMonth], 1, 12))
        return QStringLiteral("生月「%1」は 1 から 12 の数ではありません").arg(v[kFieldMonth]);
    if (!NumberWithin(v[kFieldDay], 1, 31))
        return QStringLiteral("生日「%1」は 1 から 31 の数ではありません").arg(v[kFieldDay]);
    return {};
}

QString BackUpNow(const PersonTable& table, QString* copy)
{
    const QString folder = table.BackupFolder();
    if (!QDir().mkpath(folder))
        return QStringLiteral("フォルダー「%1」を作れません。").arg(folder);
    // Two imports within a second each keep their own copy.
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    *copy = QDir(folder).filePath(QStringLiteral("nam_data-%1.db").arg(stamp));
    for (int n = 2; QFileInfo::exists(*copy); ++n)
        *copy = QDir(folder).filePath(QStringLiteral("nam_data-%1-%2.db").arg(stamp).arg(n));
    return CopySqliteFile(table.FilePath(), *copy);
}

ImportReport ImportRecords(PersonTable& table, const std::vector<ImportItem>& items, const ImportOptions& options)
{
    ImportReport report;
    const int total = int(items.size());
    QSet<QString> stored;
    const auto present = table.ReadAllRecords(&report.error);
    if (!present)
        return report;
    for (const PersonValues& v : *present)
        stored.insert(BirthKey(v));

    std::vector<PersonValues> toWrite;
    toWrite.reserve(items.size());
    RecordBirthTimes times;
    for (int n = 0; n < total; ++n) {
        const ImportItem& item = items[size_t(n)];
        PersonValues values = item.values;
        for (QString& v : values)
            v = cp932::RemapInputMethodChars(v);
        if (!item.problem.isEmpty())
            report.refused.emplace_back(item.line, item.problem);
        else if (const QString problem = RecordProblem(values); !problem.isEmpty())
            report.refused.emplace_back(item.line, problem);
        else if (const QString fault = BirthTimeProblem(item.birthTime); !fault.isEmpty())
            report.refused.emplace_back(item.line, fault);
        else if (stored.contains(BirthKey(values)))
            ++report.duplicates;
        else {
            toWrite.push_back(std::move(values));
            times.push_back(item.birthTime);
        }
        if (options.progress && (n + 1) % 1000 == 0)
            options.progress(n + 1, total * 2);
    }
    if (!report.refused.empty() && !options.skipBad) {
        report.error = QStringLiteral("受け付けられない記録が %1 件あるため、何も読み込みませんでした。").arg(report.refused.size());
        return report;
    }
    report.added = int(toWrite.size());
    if (options.dryRun || toWrite.empty())
        return report;
    if (!table.IsWritable()) {
        report.error = table.Unavailability();
        report.added = 0;
        return report;
    }
    // A server's copies are its administrator's; a file is copied first.
    if (const QString error = table.IsServer() ? QString() : BackUpNow(table, &report.backupPath); !error.isEmpty()) {
        report.error = QStringLiteral("今の名簿のバックアップを作れないため、読み込みをやめました。\n%1").arg(error);
        report.added = 0;
        return report;
    }
    QString why;
    auto written = [&](int done) {
        if (options.progress)
            options.progress(total + done, total * 2);
    };
    if (!table.AppendRecords(toWrite, &why, written, times)) {
        report.error = why;
        report.added = 0;
        return report;
    }
    report.written = true;
    return report;
}

}  // namespace zelvara
