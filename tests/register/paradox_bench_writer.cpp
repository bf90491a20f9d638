// paradox_bench_writer FILE COUNT: a Paradox register table of COUNT
// records for scripts/bench-register.sh, written with pxlib's writer. The
// records differ in name and birth; some palace fields are filled.
#include "tests/register/paradox_fixture.h"

#include <QCoreApplication>

#include <iostream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::cerr << "usage: paradox_bench_writer FILE COUNT\n";
        return 2;
    }
    const QStringList hours{"23:00-01:00",
                            "01:00-03:00",
                            "03:00-05:00",
                            "05:00-07:00",
                            "07:00-09:00",
                            "09:00-11:00",
                            "11:00-13:00",
                            "13:00-15:00",
                            "15:00-17:00",
                            "17:00-19:00",
                            "19:00-21:00",
                            "21:00-23:00",
                            QStringLiteral("不明の場合")};
    QList<QStringList> records;
    const int count = std::atoi(argv[2]);
    for (int i = 0; i < count; ++i) {
        QStringList v{QStringLiteral("見本%1").arg(i),
                      QString::number(1930 + i % 90),
                      QString::number(1 + i % 12),
                      QString::number(1 + i % 28),
                      hours[i % 13],
                      i % 2 ? QStringLiteral("女") : QStringLiteral("男"),
                      QStringLiteral("紫微"),
                      {},
                      {},
                      QStringLiteral("天府")};
        records << v;
    }
    const QString error =
        paradox_fixture::Write(QString::fromLocal8Bit(argv[1]), paradox_fixture::RegisterFields(), records);
    if (!error.isEmpty()) {
        std::cerr << error.toStdString() << '\n';
        return 1;
    }
    return 0;
}
