// `register mend-times` and the part of `register check` that finds records
// whose hour field is not the period of their exact clock time (written so by
// an earlier version, which stored the corrected period).
#pragma once

#include "cli/command_line.h"

#include <QString>
#include <QStringList>

namespace zelvara {
class PersonTable;
}

namespace zelvara::cli {

// One line a record, for register check; none when the file has no exact times.
QStringList ExactHourFaultLines(const QString& registerPath, const PersonTable& table);

// Copies the register under backup/, then sets each such record's hour to its
// clock time's period, naming each on stdout. 0 when done (or nothing to do),
// 3 while another program holds the lock, 1 on any failure.
int MendExactHours(const Options& opts, const QString& folder);

}  // namespace zelvara::cli
