// How a reading adds a table text to a memo: every line of the text becomes a
// line of the memo, and an empty text adds one empty line.
#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace zelvara {

inline void AddText(QStringList& lines, const QString& text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    lines << text.split(lineBreak);
}

}  // namespace zelvara
