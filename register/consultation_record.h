// The consultation record (鑑定記録): one entry for each session with a
// client of the register — when it was, what was asked, what was read and
// advised, the fee, and when the client comes next. What was read is kept as
// it was at the time (the profile, the layer and period, the corrected birth
// time as used), so that the reading can be made again after the client's
// record or the profile has changed.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>
#include <utility>
#include <vector>

namespace zelvara {

struct ConsultationEntry {
    qint64 id = -1;      // −1: not yet stored
    qint64 version = 0;  // counts the writes of a stored entry
    qint64 client = -1;  // the client's record in the register
    QDate date;          // of the session
    QString time;        // HH:MM, or empty
    QString theme;       // a short line: 仕事, 結婚 …
    QString question;
    QString notes;              // paragraphs
    QString profile;            // the profile the chart was read with
    QString reading;            // the layer and period read: 大限3 流年2027
    QString birthTime;          // the corrected birth time as used, e.g. 1959-05-07 05:42（真太陽時）
    std::optional<qint64> fee;  // yen; none when no fee was set
    bool paid = false;
    QDate nextDate;    // the next appointment, if any
    QString nextTime;  // HH:MM, or empty

    bool operator==(const ConsultationEntry&) const = default;
};

// The highest fee the record takes (ten million yen).
inline constexpr qint64 kMaxConsultationFee = 10'000'000;
// The longest theme, in characters.
inline constexpr int kMaxThemeLength = 100;

// Why the entry cannot be kept, in a sentence; empty when it can. The
// session's date must be there; a time is HH:MM (00:00–23:59); a next time
// needs a next date; the fee is 0 … ten million yen; the single-line fields
// hold no control characters (a line break, a tab …), the question and the
// notes no control characters but line breaks and tabs.
QString ConsultationProblem(const ConsultationEntry& entry);

// A date as the record writes it, 2027-04-12; and read back from that form or
// 2027/4/12. nullopt for anything else.
QString ConsultationDateText(const QDate& date);
std::optional<QDate> ParseConsultationDate(const QString& text);
// A time HH:MM (also H:MM) as the record keeps it, "09:05"; nullopt for
// anything else. An empty text is the empty time.
std::optional<QString> ParseConsultationTime(const QString& text);
// A fee in yen: digits, with commas and a trailing 円 allowed (12,000円);
// nullopt with *problem for anything else. An empty text is no fee.
std::optional<std::optional<qint64>> ParseConsultationFee(const QString& text, QString* problem);

// The fee as the record shows it: 12,000円（済）, 12,000円（未）; "-" without a fee.
QString ConsultationFeeText(const ConsultationEntry& entry);
// A date with its time when there is one: 2027-04-12 14:00.
QString ConsultationWhenText(const QDate& date, const QString& time);
// The entry's fields for a reader, from 鑑定日時 to 次回, each with its label
// (the question, what was read, the fee …; not the notes).
std::vector<std::pair<QString, QString>> ConsultationFieldTexts(const ConsultationEntry& entry);

// The passage of text around the first place query appears (case ignored),
// about width characters, with … where it was cut; empty when it does not
// appear. Line breaks become spaces.
QString MatchingPassage(const QString& text, const QString& query, int width = 60);

}  // namespace zelvara
