#include "cli/exact_hours_command.h"

#include "cli/register_command.h"
#include "register/birth_time_table.h"
#include "register/exact_time_hours.h"
#include "register/person_table.h"

#include <iostream>

namespace zelvara::cli {
namespace {

std::string Local(const QString& text) { return text.toStdString(); }

}  // namespace

QStringList ExactHourFaultLines(const QString& registerPath, const PersonTable& table) {
    BirthTimeTable times;
    if (!times.Open(registerPath, false).isEmpty()) return {};
    QStringList lines;
    for (const ExactHourFault& fault : FindExactHourFaults(table, times))
        lines << fault.Describe() +
                     QStringLiteral("（補正した時刻が書かれています。zelvara-cli register mend-times で直せます）");
    return lines;
}

int MendExactHours(const Options& opts, const QString& folder) {
    StderrSink sink;
    PersonTable table(sink);
    if (const int refused = OpenForWriting(opts, table, folder)) return refused;
    if (table.IsServer()) {
        std::cerr << Local(QStringLiteral("register mend-times はこのコンピューターの名簿ファイルのためのものです。"))
                  << '\n';
        return 1;
    }
    BirthTimeTable times;
    if (const QString error = times.Open(table.FilePath(), true); !error.isEmpty()) {
        std::cerr << Local(error) << '\n';
        return 1;
    }
    QList<ExactHourFault> done;
    QString copy;
    const QString error = MendExactHourFaults(table, times, done, copy);
    if (!done.isEmpty()) std::cout << Local(DescribeMended(done)) << '\n';
    if (!copy.isEmpty())
        std::cout << Local(QStringLiteral("直す前の名簿を「%1」に保存しました。").arg(copy)) << '\n';
    else if (error.isEmpty())
        std::cout << Local(QStringLiteral("時刻の欄を直す記録はありません。")) << '\n';
    if (!error.isEmpty()) {
        std::cerr << Local(error) << '\n';
        return 1;
    }
    return 0;
}

}  // namespace zelvara::cli
