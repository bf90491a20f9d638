// How a memo of fixed width splits a text into displayed lines, counted in
// half-width columns: a full-width character takes two. Closing punctuation
// that would begin a line stays at the end of the line before.
#pragma once

#include <QString>
#include <QStringList>

namespace zelvara {

// Every paragraph (text between line breaks) gives at least one line; an
// empty text gives none.
QStringList WrapDisplayLines(const QString& text, int columns);

// Columns a character takes: 1 for half-width, 2 for anything else.
int DisplayColumns(QChar c);

}  // namespace zelvara
