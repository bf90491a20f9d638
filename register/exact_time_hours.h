// Records whose hour field is not the period of their exact clock time. The
// register keeps the birth as entered — the date and the period of the clock
// reading — and the exact time beside it; an earlier version wrote the
// corrected period into the hour field instead. Such records are found, and
// mended once after a safety copy, naming each record it changes.
#pragma once

#include <QList>
#include <QString>

namespace zelvara {

class BirthTimeTable;
class PersonTable;

struct ExactHourFault {
    int row = 0;         // in the table's view, 0-based
    qint64 person = -1;  // the register's row
    QString name;
    QString storedHour;  // the hour field as stored
    QString clockTime;   // the exact clock time, HH:MM
    QString clockHour;   // the period of the clock time, as the field should hold it
    // 「3 件目（山田花子）: 時刻「21:00-23:00」が出生時刻 10:40 の時刻「09:00-11:00」と違います」
    QString Describe() const;
};

// Every record of the table (a file register) with an exact time whose hour
// field is not the clock time's period.
QList<ExactHourFault> FindExactHourFaults(const PersonTable& persons, const BirthTimeTable& times);

// Finds the faults and sets each one's hour field to the clock time's
// period, one post per record through the table (its checks, lock and daily
// copy), after copying the register file into its backup folder under a name
// no other copy has (copyPath tells which; empty when nothing needed
// mending). Empty on success; else why not — the copy failed (nothing
// changed) or a post was refused (the records before it are mended; done
// lists them either way).
QString MendExactHourFaults(PersonTable& persons, const BirthTimeTable& times, QList<ExactHourFault>& done,
                            QString& copyPath);

// What was mended, a line a record, for the user.
QString DescribeMended(const QList<ExactHourFault>& done);

}  // namespace zelvara
