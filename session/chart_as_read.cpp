#include "session/chart_as_read.h"

#include "common/qstring_utf8.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringList>

namespace zelvara {
namespace {

const QString kBirthLayerName = QStringLiteral("本命");
const QString kCorrectionWord = QStringLiteral("出生時刻");

QString TwoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

QString DateText(int year, int month, int day) {
    return QStringLiteral("%1-%2-%3").arg(year, 4, 10, QLatin1Char('0')).arg(TwoDigits(month), TwoDigits(day));
}

QString CivilDateText(const CivilDate& d) { return QStringLiteral("%1年%2月%3日").arg(d.year).arg(d.month).arg(d.day); }

int BranchOfName(const QString& name) {
    for (int b = 1; b <= kBranches; ++b)
        if (name == Q(kBranchNames[b])) return b;
    return 0;
}

bool ValidDate(int year, int month, int day) { return QDate(year, month, day).isValid(); }

std::optional<LayerChoice> LayerOfWord(const QString& word) {
    static const QRegularExpression decade(QStringLiteral("^大限(\\d{1,2})$"));
    static const QRegularExpression year(QStringLiteral("^流年(\\d{4})$"));
    static const QRegularExpression month(QStringLiteral("^流月(\\d{4})年(閏?)(\\d{1,2})月$"));
    static const QRegularExpression day(QStringLiteral("^流日(\\d{4})年(\\d{1,2})月(\\d{1,2})日$"));
    static const QRegularExpression hour(QStringLiteral("^流時(\\d{4})年(\\d{1,2})月(\\d{1,2})日(.)時$"));
    LayerChoice c;
    if (const auto m = decade.match(word); m.hasMatch()) {
        c.kind = LayerKind::Decade;
        c.period = m.captured(1).toInt();
        if (c.period < 1 || c.period > 12) return std::nullopt;
    } else if (const auto m = year.match(word); m.hasMatch()) {
        c.kind = LayerKind::Year;
        c.year = m.captured(1).toInt();
    } else if (const auto m = month.match(word); m.hasMatch()) {
        c.kind = LayerKind::Month;
        c.year = m.captured(1).toInt();
        c.leapMonth = !m.captured(2).isEmpty();
        c.month = m.captured(3).toInt();
        if (c.month < 1 || c.month > 12) return std::nullopt;
    } else if (const auto m = day.match(word); m.hasMatch()) {
        c.kind = LayerKind::Day;
        c.date = {m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()};
    } else if (const auto m = hour.match(word); m.hasMatch()) {
        c.kind = LayerKind::Hour;
        c.date = {m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()};
        const int branch = BranchOfName(m.captured(4));
        if (branch == 0) return std::nullopt;
        c.clockHour = (branch - 1) * 2;  // 子 0時, 丑 2時 …: inside the branch's two hours on that day
    } else {
        return std::nullopt;
    }
    if ((c.kind == LayerKind::Day || c.kind == LayerKind::Hour) && !ValidDate(c.date.year, c.date.month, c.date.day))
        return std::nullopt;
    return c;
}

}  // namespace

QString AsReadBirthText(const Tmandata& man, int hourIndex, const std::optional<CorrectedBirth>& exact) {
    const QString sex = man.sexCode == 'M' ? QStringLiteral("男") : QStringLiteral("女");
    const QString date = DateText(man.birthYear, man.birthMonth, man.birthDay);
    if (!exact) return QStringLiteral("%1 %2 %3").arg(date, Q(kHourPeriodTexts[hourIndex]), sex);
    QString text = QStringLiteral("%1 %2:%3 %4")
                       .arg(date, TwoDigits(exact->minuteOfDay / 60), TwoDigits(exact->minuteOfDay % 60), sex);
    if (exact->Corrected()) text += QLatin1Char(' ') + kCorrectionWord + QLatin1Char(' ') + Q(CorrectionLine(*exact));
    return text;
}

QString AsReadLayersText(const std::vector<TimeLayer>& layers) {
    QStringList words;
    for (const TimeLayer& l : layers) {
        switch (l.kind) {
            case LayerKind::Birth: break;
            case LayerKind::Decade: words << QStringLiteral("大限%1").arg(l.period); break;
            case LayerKind::Year: words << QStringLiteral("流年%1").arg(l.year); break;
            case LayerKind::Month:
                words << QStringLiteral("流月%1年%2%3月")
                             .arg(l.year)
                             .arg(l.leapMonth ? QStringLiteral("閏") : QString())
                             .arg(l.month);
                break;
            case LayerKind::Day: words << QStringLiteral("流日") + CivilDateText(l.date); break;
            case LayerKind::Hour:
                words << QStringLiteral("流時%1%2時").arg(CivilDateText(l.date), Q(kBranchNames[l.branch]));
                break;
        }
    }
    return words.isEmpty() ? kBirthLayerName : words.join(QLatin1Char(' '));
}

std::optional<ChartAsRead> ParseChartAsRead(const QString& birthText, const QString& layersText) {
    static const QRegularExpression birth(
        QStringLiteral(
            "^(\\d{4})-(\\d{2})-(\\d{2}) (?:(\\d{2}:\\d{2}-\\d{2}:\\d{2})|(\\d{2}):(\\d{2})) (男|女)(?: %1 .+)?$")
            .arg(kCorrectionWord));
    const auto m = birth.match(birthText.trimmed());
    if (!m.hasMatch()) return std::nullopt;
    ChartAsRead read;
    read.year = m.captured(1).toInt();
    read.month = m.captured(2).toInt();
    read.day = m.captured(3).toInt();
    if (!ValidDate(read.year, read.month, read.day)) return std::nullopt;
    read.sexCode = m.captured(7) == QStringLiteral("男") ? 'M' : 'F';
    if (const QString period = m.captured(4); !period.isEmpty()) {
        read.hourIndex = -1;
        for (int h = 0; h < kHours; ++h)
            if (period == Q(kHourPeriodTexts[h])) read.hourIndex = h;
        if (read.hourIndex < 0) return std::nullopt;
    } else {
        const int hour = m.captured(5).toInt(), minute = m.captured(6).toInt();
        if (hour > 23 || minute > 59) return std::nullopt;
        read.minuteOfDay = hour * 60 + minute;
        read.hourIndex = HourIndexOfMinute(*read.minuteOfDay);
    }
    const QString layers = layersText.trimmed();
    if (layers == kBirthLayerName) return read;
    for (const QString& word : layers.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const auto layer = LayerOfWord(word);
        if (!layer) return std::nullopt;
        read.layers.push_back(*layer);
    }
    if (read.layers.empty()) return std::nullopt;
    return read;
}

BirthInput AsReadInput(const ChartAsRead& read, const QString& name) {
    BirthInput in;
    in.name = name.toStdString();
    in.sex = read.sexCode == 'M' ? "男" : "女";
    in.year = std::to_string(read.year);
    in.month = std::to_string(read.month);
    in.day = std::to_string(read.day);
    in.hour = std::string(kHourPeriodTexts[read.hourIndex]);
    return in;
}

}  // namespace zelvara
