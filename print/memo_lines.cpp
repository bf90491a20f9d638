#include "print/memo_lines.h"

#include <QRegularExpression>

namespace zelvara {
namespace {

bool ClosesLine(QChar c) {
    static const QString closers =
        QStringLiteral("、。，．・：；？！ー）」』】〕｝〉》ぁぃぅぇぉっゃゅょァィゥェォッャュョ,.)]:;!?");
    return closers.contains(c);
}

// Half-width letters and digits belong to one word that is not split.
bool IsWordChar(QChar c) { return c.unicode() < 0x80 && (c.isLetterOrNumber() || c == QLatin1Char('-')); }

void WrapOne(const QString& line, int columns, QStringList& out) {
    QString current;
    int used = 0;
    qsizetype i = 0;
    while (i < line.size()) {
        // The next unit: a whole half-width word, a surrogate pair or one character.
        qsizetype end = i + 1;
        if (IsWordChar(line.at(i))) {
            while (end < line.size() && IsWordChar(line.at(end))) ++end;
        } else if (line.at(i).isHighSurrogate() && end < line.size()) {
            ++end;
        }
        QString unit = line.mid(i, end - i);
        int width = 0;
        for (QChar c : unit) width += c.isLowSurrogate() ? 0 : CharColumns(c);
        if (used + width > columns && !current.isEmpty() && !(unit.size() == 1 && ClosesLine(unit.at(0)))) {
            out << current;
            current.clear();
            used = 0;
        }
        // A word longer than a whole line is cut at the width.
        while (width > columns && used == 0) {
            int take = 0, w = 0;
            while (take < unit.size() && w + CharColumns(unit.at(take)) <= columns) w += CharColumns(unit.at(take++));
            if (take == 0) w = CharColumns(unit.at(take++));
            out << unit.left(take);
            unit = unit.mid(take);
            width -= w;
        }
        current += unit;
        used += width;
        i = end;
    }
    out << current;
}

}  // namespace

int CharColumns(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xFF61 && u <= 0xFF9F)) return 1;
    return 2;
}

QStringList DisplayedLines(const QStringList& memoLines, int columns) {
    QStringList out;
    for (const QString& line : memoLines) WrapOne(line, columns, out);
    return out;
}

QStringList MemoLinesOf(const QString& text) {
    if (text.isEmpty()) return {};
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    return text.split(lineBreak);
}

}  // namespace zelvara
