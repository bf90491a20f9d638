#include "register/exact_time_hours.h"

#include "common/qstring_utf8.h"
#include "register/birth_time_table.h"
#include "register/person_fields.h"
#include "register/person_table.h"
#include "register/sqlite_copy.h"

#include <QStringList>

#include "engine/chart_request.h"
#include "engine/solar_time.h"

namespace zelvara {

QString ExactHourFault::Describe() const {
    return QStringLiteral("%1 件目（%2）: 時刻「%3」が出生時刻 %4 の時刻「%5」と違います")
        .arg(row + 1)
        .arg(name, storedHour, clockTime, clockHour);
}

QList<ExactHourFault> FindExactHourFaults(const PersonTable& persons, const BirthTimeTable& times) {
    QList<ExactHourFault> faults;
    for (int row = 0; row < persons.RecordCount(); ++row) {
        const PersonRecord& record = persons.Record(row);
        const std::optional<BirthTimeEntry> entry = times.Read(record.rowId);
        if (!entry) continue;
        const std::optional<int> minute = ParseClockTime(entry->clockTime.toStdString());
        if (!minute) continue;
        const QString clockHour = Q(kHourPeriodTexts[HourIndexOfMinute(*minute)]);
        if (record.stored[kFieldTime] != clockHour)
            faults.append(ExactHourFault{row, record.rowId, record.stored[kFieldName], record.stored[kFieldTime],
                                         entry->clockTime, clockHour});
    }
    return faults;
}

QString MendExactHourFaults(PersonTable& persons, const BirthTimeTable& times, QList<ExactHourFault>& done,
                            QString& copyPath) {
    done.clear();
    copyPath.clear();
    const QList<ExactHourFault> faults = FindExactHourFaults(persons, times);
    if (faults.isEmpty()) return {};
    if (!persons.IsWritable() || persons.IsServer())
        return QStringLiteral("名簿が読み取り専用で開かれているため、時刻の欄は直せません。");
    QString copy;
    if (const QString error = CopyIntoBackupFolder(persons.FilePath(), persons.BackupFolder(),
                                                   QStringLiteral("nam_data-before-mend-times"), &copy);
        !error.isEmpty())
        return QStringLiteral("名簿の写しを作れないため、時刻の欄は直していません（%1）。").arg(error);
    copyPath = copy;
    for (const ExactHourFault& fault : faults) {
        int row = 0;
        while (row < persons.RecordCount() && persons.Record(row).rowId != fault.person) ++row;
        if (row == persons.RecordCount() || (row != persons.CurrentRow() && !persons.MoveTo(row)))
            return QStringLiteral("%1 件目（%2）に移れないため、ここで止めました。").arg(fault.row + 1).arg(fault.name);
        persons.SetValue(kFieldTime, fault.clockHour);
        QString why;
        if (!persons.PostQuietly(&why)) {
            persons.Cancel();
            return QStringLiteral("%1 件目（%2）を直せません（%3）。ここで止めました。")
                .arg(fault.row + 1)
                .arg(fault.name, why);
        }
        done.append(fault);
    }
    return {};
}

QString DescribeMended(const QList<ExactHourFault>& done) {
    QStringList lines;
    for (const ExactHourFault& f : done)
        lines << QStringLiteral("%1 件目（%2）: 時刻「%3」→「%4」（出生時刻 %5）")
                     .arg(f.row + 1)
                     .arg(f.name, f.storedHour, f.clockHour, f.clockTime);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace zelvara
