#include "register/consultation_record.h"

#include <QLocale>

#include <QRegularExpression>

namespace zelvara {
namespace {

// A control character in a single-line field: a line break, a tab and any
// other, as the register's import refuses them.
bool HasControl(const QString& text, bool linesAllowed) {
    for (const QChar c : text) {
        if (linesAllowed && (c == u'\n' || c == u'\r' || c == u'\t')) continue;
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            return true;
    }
    return false;
}

}  // namespace

QString ConsultationDateText(const QDate& date) {
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

std::optional<QDate> ParseConsultationDate(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d{4})[-/](\\d{1,2})[-/](\\d{1,2})$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch()) return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!date.isValid()) return std::nullopt;
    return date;
}

std::optional<QString> ParseConsultationTime(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return QString();
    static const QRegularExpression form(QStringLiteral("^(\\d{1,2}):(\\d{2})$"));
    const QRegularExpressionMatch m = form.match(t);
    if (!m.hasMatch()) return std::nullopt;
    const int hour = m.captured(1).toInt(), minute = m.captured(2).toInt();
    if (hour > 23 || minute > 59) return std::nullopt;
    return QStringLiteral("%1:%2").arg(hour, 2, 10, QLatin1Char('0')).arg(minute, 2, 10, QLatin1Char('0'));
}

std::optional<std::optional<qint64>> ParseConsultationFee(const QString& text, QString* problem) {
    QString t = text.trimmed();
    if (t.isEmpty()) return std::optional<qint64>{};
    if (t.endsWith(QStringLiteral("円"))) t.chop(1);
    static const QRegularExpression form(QStringLiteral("^\\d{1,3}(,\\d{3})*$|^\\d+$"));
    if (!form.match(t).hasMatch()) {
        *problem = QStringLiteral("料金「%1」は円の金額として読めません（例 12000 または 12,000円）").arg(text);
        return std::nullopt;
    }
    t.remove(QLatin1Char(','));
    bool ok = false;
    const qint64 yen = t.toLongLong(&ok);
    if (!ok || yen > kMaxConsultationFee) {
        *problem = QStringLiteral("料金「%1」が大きすぎます（%2 円まで）").arg(text).arg(kMaxConsultationFee);
        return std::nullopt;
    }
    return std::optional<qint64>{yen};
}

QString ConsultationProblem(const ConsultationEntry& e) {
    if (e.client < 0) return QStringLiteral("記録する人物が選ばれていません");
    if (!e.date.isValid()) return QStringLiteral("鑑定日がありません");
    if (e.date.year() < 1900 || e.date.year() > 2200)
        return QStringLiteral("鑑定日 %1 は 1900 年から 2200 年の間にしてください").arg(ConsultationDateText(e.date));
    const auto badTime = [](const QString& t) { return !t.isEmpty() && ParseConsultationTime(t) != t; };
    if (badTime(e.time))
        return QStringLiteral("鑑定の時刻「%1」は 00:00 から 23:59 の HH:MM で書いてください").arg(e.time);
    if (badTime(e.nextTime))
        return QStringLiteral("次回の時刻「%1」は 00:00 から 23:59 の HH:MM で書いてください").arg(e.nextTime);
    if (!e.nextTime.isEmpty() && !e.nextDate.isValid()) return QStringLiteral("次回の時刻だけで、日付がありません");
    if (e.nextDate.isValid() && (e.nextDate.year() < 1900 || e.nextDate.year() > 2200))
        return QStringLiteral("次回の日付 %1 は 1900 年から 2200 年の間にしてください")
            .arg(ConsultationDateText(e.nextDate));
    if (e.fee && (*e.fee < 0 || *e.fee > kMaxConsultationFee))
        return QStringLiteral("料金 %1 円は 0 から %2 円の間にしてください").arg(*e.fee).arg(kMaxConsultationFee);
    if (e.theme.size() > kMaxThemeLength)
        return QStringLiteral("テーマが %1 文字あります（%2 文字まで）").arg(e.theme.size()).arg(kMaxThemeLength);
    const std::pair<QString, const QString*> singleLine[] = {{QStringLiteral("テーマ"), &e.theme},
                                                             {QStringLiteral("プロフィール"), &e.profile},
                                                             {QStringLiteral("読んだ盤"), &e.reading},
                                                             {QStringLiteral("使った出生時刻"), &e.birthTime}};
    for (const auto& [label, text] : singleLine)
        if (HasControl(*text, false)) return QStringLiteral("%1に改行やタブなどの制御文字が入っています").arg(label);
    if (HasControl(e.question, true)) return QStringLiteral("相談内容に改行とタブ以外の制御文字が入っています");
    if (HasControl(e.notes, true)) return QStringLiteral("メモに改行とタブ以外の制御文字が入っています");
    return {};
}

QString MatchingPassage(const QString& text, const QString& query, int width) {
    const qsizetype at = text.indexOf(query, 0, Qt::CaseInsensitive);
    if (at < 0 || query.isEmpty()) return {};
    const qsizetype before = std::max<qsizetype>(0, (width - query.size()) / 2);
    const qsizetype start = std::max<qsizetype>(0, at - before);
    const qsizetype end = std::min(text.size(), start + std::max<qsizetype>(width, query.size()));
    QString passage = text.mid(start, end - start);
    passage.replace(QLatin1String("\r\n"), QLatin1String(" "));
    passage.replace(QLatin1Char('\n'), QLatin1Char(' '));
    passage.replace(QLatin1Char('\r'), QLatin1Char(' '));
    passage.replace(QLatin1Char('\t'), QLatin1Char(' '));
    if (start > 0) passage.prepend(QStringLiteral("…"));
    if (end < text.size()) passage.append(QStringLiteral("…"));
    return passage;
}

QString ConsultationFeeText(const ConsultationEntry& e) {
    if (!e.fee) return QStringLiteral("-");
    return QStringLiteral("%1円%2")
        .arg(QLocale::c().toString(*e.fee))
        .arg(e.paid ? QStringLiteral("（済）") : QStringLiteral("（未）"));
}

QString ConsultationWhenText(const QDate& date, const QString& time) {
    return time.isEmpty() ? ConsultationDateText(date) : ConsultationDateText(date) + QLatin1Char(' ') + time;
}

std::vector<std::pair<QString, QString>> ConsultationFieldTexts(const ConsultationEntry& e) {
    return {
        {QStringLiteral("鑑定日時"), ConsultationWhenText(e.date, e.time)},
        {QStringLiteral("テーマ"), e.theme},
        {QStringLiteral("相談内容"), e.question},
        {QStringLiteral("プロフィール"), e.profile},
        {QStringLiteral("読んだ盤"), e.reading},
        {QStringLiteral("使った出生時刻"), e.birthTime},
        {QStringLiteral("料金"), ConsultationFeeText(e)},
        {QStringLiteral("次回"),
         e.nextDate.isValid() ? ConsultationWhenText(e.nextDate, e.nextTime) : QStringLiteral("-")},
    };
}

}  // namespace zelvara
