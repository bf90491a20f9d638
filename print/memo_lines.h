// The lines a memo of fixed width displays: every memo line is wrapped at the
// memo's width, counted in half-width columns (a full-width character takes
// two). The prints list these displayed lines, one per printed line.
#pragma once

#include <QStringList>

namespace zelvara {

// The reading memos: about 43 full-width characters.
constexpr int kReadingMemoColumns = 86;
// The legends viewer's wrapping memo: about 50 full-width characters.
constexpr int kLegendMemoColumns = 100;

// Columns a character takes: 1 for half-width (ASCII, half-width kana), else 2.
int CharColumns(QChar c);

// An empty memo line stays one empty displayed line. A run of half-width
// letters and digits moves to the next line whole unless it is longer than a
// line; closing punctuation stays at the end of the line it closes.
QStringList DisplayedLines(const QStringList& memoLines, int columns);

// Splits a text at its line breaks (CR LF, LF or CR) into memo lines.
QStringList MemoLinesOf(const QString& text);

}  // namespace zelvara
