#include "readings/report_pages.h"

#include "engine/time_layers.h"
#include "print/print_document.h"
#include "readings/luck_reading.h"
#include "readings/marriage_reading.h"
#include "readings/overall_reading.h"
#include "readings/reading_names.h"

namespace zelvara {
namespace {

using Kind = ReportChoice::Kind;

// The words without a value, and those that take one after ':'.
struct PageWord {
    const char* word;
    Kind kind;
};
constexpr PageWord kPlainWords[] = {{"chart", Kind::Chart},
                                    {"graph", Kind::Graph},
                                    {"flying", Kind::Flying},
                                    {"luck", Kind::Luck},
                                    {"marriage", Kind::Marriage}};
constexpr PageWord kValueWords[] = {{"decade", Kind::Decade},
                                    {"year", Kind::Year},
                                    {"overall", Kind::Overall},
                                    {"luck", Kind::Luck},
                                    {"notes", Kind::Notes}};

const char* WordOf(Kind kind) {
    for (const PageWord& w : kValueWords)
        if (w.kind == kind) return w.word;
    for (const PageWord& w : kPlainWords)
        if (w.kind == kind) return w.word;
    return "";
}

std::optional<ReportChoice> ChoiceOf(const QString& word, QString* why) {
    const QString key = word.section(QLatin1Char(':'), 0, 0);
    const bool hasValue = word.contains(QLatin1Char(':'));
    const QString value = word.section(QLatin1Char(':'), 1);
    const auto refuse = [&](const QString& text) -> std::optional<ReportChoice> {
        *why = QStringLiteral("鑑定書のページ「%1」は作れません。%2").arg(word, text);
        return std::nullopt;
    };
    if (!hasValue) {
        for (const PageWord& w : kPlainWords)
            if (key == QLatin1String(w.word)) return ReportChoice{w.kind, 0, {}};
        if (key == QLatin1String("notes")) return ReportChoice{Kind::Notes, 0, QStringLiteral("LAST")};
        return refuse(
            QStringLiteral("chart、graph、decade:N、year:YYYY、flying、overall:宮名、luck、marriage、notes:LAST "
                           "のどれかを指定して下さい。"));
    }
    bool ok = false;
    const int n = value.toInt(&ok);
    if (key == QLatin1String("decade")) {
        if (!ok || n < 1 || n > 12) return refuse(QStringLiteral("大限は 1 から 12 までの番号で指定して下さい。"));
        return ReportChoice{Kind::Decade, n, {}};
    }
    if (key == QLatin1String("year")) {
        if (!ok || n < 1921 || n > 2100)
            return refuse(QStringLiteral("流年は 1921 から 2100 までの年で指定して下さい。"));
        return ReportChoice{Kind::Year, n, {}};
    }
    if (key == QLatin1String("luck")) {
        if (!ok || n < 1 || n > 12) return refuse(QStringLiteral("行運は 1 から 12 までの運の番号で指定して下さい。"));
        return ReportChoice{Kind::Luck, n, {}};
    }
    if (key == QLatin1String("overall")) {
        const qsizetype tab = PalaceNames().indexOf(value);
        if (tab < 0) return refuse(QStringLiteral("総合診断は 命宮、兄弟宮 … 父母宮 の宮名で指定して下さい。"));
        return ReportChoice{Kind::Overall, int(tab) + 1, {}};
    }
    if (key == QLatin1String("notes")) {
        const qint64 id = value.toLongLong(&ok);
        if (value != QLatin1String("LAST") && (!ok || id <= 0))
            return refuse(QStringLiteral("鑑定記録は LAST（最新）か記録の番号で指定して下さい。"));
        return ReportChoice{Kind::Notes, 0, value};
    }
    return refuse(QStringLiteral("値を取るのは decade、year、overall、luck、notes だけです。"));
}

// The luck period the client is in now: the last that has begun at their age.
int CurrentLuckPeriod(const Tmandata& man) {
    int period = 1;
    for (int p = 1; p <= 12; ++p)
        if (man.luckAge[p] > 0 && man.luckAge[p] <= man.age) period = p;
    return period;
}

}  // namespace

std::optional<std::vector<ReportChoice>> ParseReportPages(const QString& text, QString* why) {
    std::vector<ReportChoice> pages;
    for (const QString& word : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const std::optional<ReportChoice> choice = ChoiceOf(word.trimmed(), why);
        if (!choice) return std::nullopt;
        pages.push_back(*choice);
    }
    if (pages.empty()) {
        *why = QStringLiteral("鑑定書に入れるページを一つ以上選んで下さい。");
        return std::nullopt;
    }
    return pages;
}

QString ReportPagesText(const std::vector<ReportChoice>& pages) {
    QStringList words;
    for (const ReportChoice& c : pages) {
        QString word = QLatin1String(WordOf(c.kind));
        if (c.kind == Kind::Overall) word += QLatin1Char(':') + PalaceNames().value(c.number - 1);
        if (c.kind == Kind::Notes) word += QLatin1Char(':') + c.notes;
        if (c.kind == Kind::Decade || c.kind == Kind::Year || (c.kind == Kind::Luck && c.number > 0))
            word += QLatin1Char(':') + QString::number(c.number);
        words << word;
    }
    return words.join(QLatin1Char(','));
}

QString ReportConventions(const QString& correctionWord, const ConventionProfile& profile) {
    const QString correction = correctionWord == QLatin1String("true")   ? QStringLiteral("真太陽時")
                               : correctionWord == QLatin1String("mean") ? QStringLiteral("地方平均太陽時")
                                                                         : QStringLiteral("なし");
    const QString line = PrintedConventionsLine(profile);
    if (line.isEmpty()) return QStringLiteral("流派：標準　時刻補正：") + correction;
    return QStringLiteral("流派：") + QString::fromStdString(profile.name) + QStringLiteral("　時刻補正：") +
           correction + QLatin1Char('\n') + line;
}

std::optional<ClientReport> ComposeClientReport(const ReportSource& source, const std::vector<ReportChoice>& pages,
                                                const ReadingTexts& texts, MessageSink& sink, QString* why) {
    const Tmandata& man = *source.man;
    ClientReport report;
    report.cover = source.cover;
    report.person = source.birthSheet.person;
    report.birthLines = SheetBirthLines(source.birthSheet);
    report.conventions = source.conventions;
    report.man = man;
    report.strength = PalaceStrengths(man);
    report.birthLayer = LayerOf(man, LayerChoice{}).value_or(TimeLayer{});
    const auto refuse = [&](const QString& text) -> std::optional<ClientReport> {
        *why = text;
        return std::nullopt;
    };
    for (const ReportChoice& c : pages) {
        ReportPage page;
        switch (c.kind) {
            case Kind::Chart:
                page.kind = ReportPage::Kind::Chart;
                page.sheet = source.birthSheet;
                break;
            case Kind::Graph: page.kind = ReportPage::Kind::Graph; break;
            case Kind::Flying: page.kind = ReportPage::Kind::Flying; break;
            case Kind::Decade:
            case Kind::Year: {
                LayerChoice layerChoice;
                layerChoice.kind = c.kind == Kind::Decade ? LayerKind::Decade : LayerKind::Year;
                (c.kind == Kind::Decade ? layerChoice.period : layerChoice.year) = c.number;
                const std::optional<TimeLayer> layer = LayerOf(man, layerChoice);
                if (!layer)
                    return refuse(QStringLiteral("この命盤には%1を重ねられません。")
                                      .arg(c.kind == Kind::Decade ? QStringLiteral("大限 %1").arg(c.number)
                                                                  : QStringLiteral("%1年の流年").arg(c.number)));
                page.kind = ReportPage::Kind::Layer;
                page.sheet = source.birthSheet;
                SetSheetLayer(page.sheet, man, *source.layout, *layer);
                break;
            }
            case Kind::Overall: {
                const OverallReading r = ComposeOverallReading(man, source.layout->boxText, c.number, texts, sink);
                if (!r.complete)
                    return refuse(QStringLiteral("%1の診断の文章が揃わないため、鑑定書を作れません。")
                                      .arg(PalaceTabCaption(c.number - 1)));
                page.kind = ReportPage::Kind::Overall;
                page.overall = {PalaceTabCaption(c.number - 1), report.person, r.hlp12Memo.value_or(QStringList()),
                                r.kanteiMemo.value_or(QStringList())};
                break;
            }
            case Kind::Luck: {
                const LuckReading r =
                    ComposeLuckReading(man, c.number > 0 ? c.number : CurrentLuckPeriod(man), texts, sink);
                if (!r.complete) return refuse(QStringLiteral("行運の診断の文章が揃わないため、鑑定書を作れません。"));
                page.kind = ReportPage::Kind::Luck;
                page.memo1 = r.kounMemo;
                break;
            }
            case Kind::Marriage: {
                const MarriageReading r = ComposeMarriageReading(man, texts, sink);
                if (!r.complete)
                    return refuse(QStringLiteral("結婚相手の診断の文章が揃わないため、鑑定書を作れません。"));
                page.kind = ReportPage::Kind::Marriage;
                page.memo1 = r.aiMemo1.value_or(QStringList());
                page.memo2 = r.aiMemo2.value_or(QStringList());
                break;
            }
            case Kind::Notes:
                if (!source.notes) return refuse(QStringLiteral("鑑定記録のページに載せる記録がありません。"));
                page.kind = ReportPage::Kind::Notes;
                page.notes = *source.notes;
                break;
        }
        report.pages.push_back(std::move(page));
    }
    return report;
}

}  // namespace zelvara
