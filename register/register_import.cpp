#include "register/register_import.h"

#include "common/cp932.h"
#include "common/profile_name.h"
#include "common/qstring_utf8.h"
#include "engine/chart_request.h"
#include "engine/context.h"
#include "engine/conversion.h"
#include "register/sqlite_copy.h"

#include <QSet>

#include <optional>

namespace zelvara {
namespace {

bool AllDigits(const std::string& s) { return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos; }

// A month or day as the entry box reads it (full-width digits too), within lo..hi.
bool NumberWithin(const QString& text, int lo, int hi) {
    const std::string s = NormalizeTypedText(text.toStdString());
    if (!AllDigits(s) || s.size() > 2) return false;
    const int n = std::stoi(s);
    return n >= lo && n <= hi;
}

// Name and birth fields joined: the key two records are the same person by.
QString BirthKey(const PersonValues& v) {
    QString key;
    for (int i = 0; i < kFirstPalaceField; ++i) key += v[i] + QChar(0x1F);
    return key;
}

// The field with a control character (a line break, a tab, …), −1 when none.
int FieldWithControlCharacter(const PersonValues& v) {
    for (int i = 0; i < kPersonFieldCount; ++i) {
        for (const QChar c : v[i]) {
            const QChar::Category category = c.category();
            if (category == QChar::Other_Control || category == QChar::Separator_Line ||
                category == QChar::Separator_Paragraph)
                return i;
        }
    }
    return -1;
}

// Keeps the engine's first message instead of showing it.
class KeptMessage final : public MessageSink {
public:
    void Show(std::string_view text, std::string_view) override {
        if (text_.empty()) text_ = text;
    }
    QString Take() {
        QString text = Q(text_);
        text_.clear();
        while (text.endsWith(QChar(u'。'))) text.chop(1);
        return text;
    }

private:
    std::string text_;
};

// Why the exact birth time cannot be kept, or empty. The file cannot ask
// about a longitude outside Japan; a time zone named in it confirms one.
QString BirthTimeProblem(const std::optional<BirthTimeEntry>& entry) {
    if (!entry) return {};
    const bool named = entry->zone == QLatin1String("Asia/Tokyo");
    const QString fault = BirthTimeEntryFault(*entry, named);
    if (!fault.isEmpty() && !named && BirthTimeEntryFault(*entry, true).isEmpty())
        return fault + QStringLiteral("この経度のまま読み込むときは、タイムゾーンの欄に Asia/Tokyo と書いて下さい。");
    return fault;
}

}  // namespace

struct RecordChecker::Engine {
    KeptMessage message;
    EngineContext ctx{std::string(), message};
};

RecordChecker::RecordChecker() : engine_(std::make_unique<Engine>()) {}

RecordChecker::~RecordChecker() = default;

QString RecordProblem(const PersonValues& v) {
    RecordChecker checker;
    return checker.Problem(v);
}

QString RecordChecker::Problem(const PersonValues& v) {
    if (const int field = FieldWithControlCharacter(v); field >= 0)
        return QStringLiteral("%1に改行・タブなどの制御文字があります").arg(FieldLabel(field));
    for (int i = 0; i < kPersonFieldCount; ++i) {
        const QString problem = cp932::CheckFieldText(FieldLabel(i), v[i], kPersonFields[i].size);
        if (!problem.isEmpty()) return problem.simplified();
    }
    if (v[kFieldName].trimmed().isEmpty()) return QStringLiteral("氏名がありません");
    if (v[kFieldSex] != QStringLiteral("男") && v[kFieldSex] != QStringLiteral("女"))
        return QStringLiteral("性別「%1」は「男」か「女」ではありません").arg(v[kFieldSex]);
    if (v[kFieldTime] != Q(kUnknownHourText) && HourIndexOf(v[kFieldTime].toStdString()) == 0)
        return QStringLiteral(
                   "生時刻「%1」は 23:00-01:00 から 21:00-23:00 までの十二の時刻か「不明の場合」ではありません")
            .arg(v[kFieldTime]);
    if (!AllDigits(EraYearToWestern(v[kFieldYear].toStdString())))
        return QStringLiteral("生年「%1」は西暦か %2 の年ではありません").arg(v[kFieldYear], Q(kEraLettersText));
    if (!NumberWithin(v[kFieldMonth], 1, 12))
        return QStringLiteral("生月「%1」は 1 から 12 の数ではありません").arg(v[kFieldMonth]);
    if (!NumberWithin(v[kFieldDay], 1, 31))
        return QStringLiteral("生日「%1」は 1 から 31 の数ではありません").arg(v[kFieldDay]);
    // The date as a chart request checks it: the day exists, the year and the
    // day lie within what the calendar covers.
    const BirthInput input{v[kFieldName].toStdString(),  v[kFieldSex].toStdString(), v[kFieldYear].toStdString(),
                           v[kFieldMonth].toStdString(), v[kFieldDay].toStdString(), v[kFieldTime].toStdString()};
    EngineContext& ctx = engine_->ctx;
    const QString date = QStringLiteral("%1/%2/%3").arg(v[kFieldYear], v[kFieldMonth], v[kFieldDay]);
    const auto request = CheckBirthInput(ctx, input);
    if (!request) return QStringLiteral("生年月日「%1」: %2").arg(date, engine_->message.Take());
    if (InRange(request->year, request->month, request->day) < 0)
        return QStringLiteral("生年月日「%1」: %2").arg(date, Q(kOutOfRangeMessage).chopped(1));
    return {};
}

QString BackUpNow(const PersonTable& table, QString* copy) {
    // Two imports within a second each keep their own copy.
    return CopyIntoBackupFolder(table.FilePath(), table.BackupFolder(), QStringLiteral("nam_data"), copy);
}

namespace {

// Holds the register's work of one at a time for as long as it lives.
class ExclusiveWorkHeld {
public:
    explicit ExclusiveWorkHeld(PersonTable& table) : table_(table), work_(table.TakeExclusiveWork()) {}
    ~ExclusiveWorkHeld() {
        if (work_.taken) table_.ReleaseExclusiveWork();
    }
    ExclusiveWorkHeld(const ExclusiveWorkHeld&) = delete;
    ExclusiveWorkHeld& operator=(const ExclusiveWorkHeld&) = delete;
    const ExclusiveWork& Work() const { return work_; }

private:
    PersonTable& table_;
    ExclusiveWork work_;
};

}  // namespace

QString UnknownProfilesText(int records) {
    return QStringLiteral(
               "流派の名前が、このコンピューターの設定にない記録が %1 件あります（名前はそのまま残します。"
               "設定にその名前の規則の組がない間は、既定の組で命盤を作ります）。")
        .arg(records);
}

ImportReport ImportRecords(PersonTable& table, const std::vector<ImportItem>& items, const ImportOptions& options) {
    ImportReport report;
    // Two imports at once would both find a record missing and both add it.
    std::optional<ExclusiveWorkHeld> held;
    if (!options.dryRun && table.IsWritable()) {
        held.emplace(table);
        if (const ExclusiveWork& work = held->Work(); !work.taken) {
            report.heldBy = work.holder;
            report.error = work.holder.isEmpty() ? work.why
                                                 : ExclusiveWorkBusyText(work.holder) +
                                                       QStringLiteral("終わってから、もう一度読み込んでください。");
            return report;
        }
    }
    const int total = int(items.size());
    QSet<QString> stored;
    const auto present = table.ReadAllRecords(&report.error);
    if (!present) return report;
    for (const PersonValues& v : *present) stored.insert(BirthKey(v));

    RecordChecker checker;
    std::vector<PersonValues> toWrite;
    toWrite.reserve(items.size());
    RecordBirthTimes times;
    RecordProfiles profiles;
    for (int n = 0; n < total; ++n) {
        const ImportItem& item = items[size_t(n)];
        PersonValues values = item.values;
        for (QString& v : values) v = cp932::RemapInputMethodChars(v);
        if (!item.problem.isEmpty())
            report.refused.emplace_back(item.line, item.problem);
        else if (const QString problem = checker.Problem(values); !problem.isEmpty())
            report.refused.emplace_back(item.line, problem);
        else if (const QString fault = BirthTimeProblem(item.birthTime); !fault.isEmpty())
            report.refused.emplace_back(item.line, fault);
        else if (const QString bad = item.profile.isEmpty() ? QString() : ProfileNameFault(item.profile);
                 !bad.isEmpty())
            report.refused.emplace_back(item.line, bad);
        else if (stored.contains(BirthKey(values)))
            ++report.duplicates;  // stored already, or earlier in the same source
        else {
            stored.insert(BirthKey(values));
            toWrite.push_back(std::move(values));
            times.push_back(item.birthTime);
            profiles.push_back(item.profile);
            if (!item.profile.isEmpty() && !options.knownProfiles.contains(item.profile)) ++report.unknownProfiles;
        }
        if (options.progress && (n + 1) % 1000 == 0) options.progress(n + 1, total * 2);
    }
    if (!report.refused.empty() && !options.skipBad) {
        report.error = QStringLiteral("受け付けられない記録が %1 件あるため、何も読み込みませんでした。")
                           .arg(report.refused.size());
        return report;
    }
    report.added = int(toWrite.size());
    if (options.dryRun || toWrite.empty()) return report;
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
        if (options.progress) options.progress(total + done, total * 2);
    };
    if (!table.AppendRecords(toWrite, &why, written, times, profiles)) {
        report.error = why;
        report.added = 0;
        return report;
    }
    report.written = true;
    return report;
}

}  // namespace zelvara
