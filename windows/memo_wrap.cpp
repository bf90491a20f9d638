#include "memo_wrap.h"

#include <QRegularExpression>

namespace zelvara {
namespace {

bool MayNotBeginLine(QChar c)
{
    static const QString closers = QStringLiteral("、。，．・：；？！ー）」』】〕｝〉》ぁぃぅぇぉっゃゅょァィゥェォッャュョ,.)]");
    return closers.contains(c);
}

}  // namespace

int DisplayColumns(QChar c)
{
    const ushort u = c.unicode();
    if (u < 0x80)
        return 1;
    if (u >= 0xFF61 && u <= 0xFF9F)  // half-width katakana
        return 1;
    return 2;
}

QStringList WrapDisplayLines(const QString& text, int columns)
{
    QStringList lines;
    if (text.isEmpty() || columns < 2)
        return lines;
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    for (const QString& paragraph : text.split(lineBreak)) {
        QString line;
        int used = 0;
        for (qsizetype i = 0; i < paragraph.size(); ++i) {
            const QChar c = paragraph.at(i);
            const int w = c.isLowSurrogate() ? 0 : DisplayColumns(c);
            if (used + w > columns && !line.isEmpty() && !MayNotBeginLine(c) && !c.isLowSurrogate()) {
                lines << line;
                line.clear();
                used = 0;
            }
            line += c;
            used += w;
        }
        lines << line;
    }
    return lines;
}

}  // namespace zelvara
