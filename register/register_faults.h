// Everything wrong with a register file, as `register check` reports it and
// `register restore` refuses a source for: SQLite's own check of the pages,
// schema objects that are not the program's own (views, triggers, indexes or
// tables a register never has), the columns of the register's table and of the
// deleted records, and every record of both against the register's rules
// (RecordProblem: field sizes, Shift-JIS, values the program can chart).
#pragma once

#include <QString>
#include <QStringList>

namespace zelvara {

// One sentence per fault, each naming the record or object; empty when the
// file is a sound register. The file is read through a read-only connection
// (after an interrupted write has been undone, see SettleInterruptedWrite).
QStringList RegisterFileFaults(const QString& path);

}  // namespace zelvara
