// Summer time from the time-zone database: the first and last day of each of
// the four periods (1948–1951) as the database records them for Asia/Tokyo,
// the hour skipped and the hour repeated, and years without summer time.
#include "common/summer_time.h"

#include <QDate>
#include <QTest>

using namespace zelvara;

class TestSummerTime : public QObject {
    Q_OBJECT
private slots:
    void readings_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("clock");
        QTest::addColumn<int>("minutes");
        struct Period {
            QDate first, last;
        };
        // Summer time began at 24:00 of a Saturday (clocks on to 01:00 of the
        // Sunday) and ended at 25:00 of the second Saturday of September
        // (clocks back to 00:00 of the Sunday).
        const Period periods[] = {
            {{1948, 5, 2}, {1948, 9, 11}},
            {{1949, 4, 3}, {1949, 9, 10}},
            {{1950, 5, 7}, {1950, 9, 9}},
            {{1951, 5, 6}, {1951, 9, 8}},
        };
        for (const Period& p : periods) {
            const QByteArray y = QByteArray::number(p.first.year());
            QTest::newRow(y + " day before") << p.first.addDays(-1) << "12:00" << 0;
            QTest::newRow(y + " last standard minute") << p.first.addDays(-1) << "23:59" << 0;
            QTest::newRow(y + " first summer hour") << p.first << "01:00" << -60;
            QTest::newRow(y + " first day") << p.first << "12:00" << -60;
            QTest::newRow(y + " last day") << p.last << "12:00" << -60;
            QTest::newRow(y + " last day's end") << p.last << "23:59" << -60;
            QTest::newRow(y + " repeated hour") << p.last.addDays(1) << "00:30" << -60;
            QTest::newRow(y + " after the repeated hour") << p.last.addDays(1) << "01:00" << 0;
            QTest::newRow(y + " day after") << p.last.addDays(1) << "12:00" << 0;
            QTest::newRow(y + " skipped hour") << p.first << "00:30" << 0;
        }
        QTest::newRow("1949-07-01 10:30") << QDate(1949, 7, 1) << "10:30" << -60;
        QTest::newRow("1947 summer") << QDate(1947, 7, 1) << "10:30" << 0;
        QTest::newRow("1952 summer") << QDate(1952, 7, 1) << "10:30" << 0;
        QTest::newRow("1990 summer") << QDate(1990, 7, 1) << "10:30" << 0;
        QTest::newRow("1921 winter") << QDate(1921, 1, 6) << "00:00" << 0;
    }
    void readings() {
        QFETCH(QDate, date);
        QFETCH(QString, clock);
        QFETCH(int, minutes);
        const QTime t = QTime::fromString(clock, QStringLiteral("hh:mm"));
        QCOMPARE(SummerTimeMinutes(date.year(), date.month(), date.day(), t.hour() * 60 + t.minute()), minutes);
    }

    // Other zones from the same database: the standard offset of the time
    // and the summer time kept then; an unknown or empty zone is Japan's.
    void zonesAbroad_data() {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("clock");
        QTest::addColumn<int>("standard");
        QTest::addColumn<int>("summer");
        QTest::newRow("New York in EST") << "America/New_York" << QDate(1972, 11, 3) << "10:40" << -300 << 0;
        QTest::newRow("New York in EDT") << "America/New_York" << QDate(1972, 7, 1) << "10:40" << -300 << -60;
        QTest::newRow("London in BST") << "Europe/London" << QDate(1990, 7, 1) << "12:00" << 0 << -60;
        QTest::newRow("Kolkata") << "Asia/Kolkata" << QDate(1990, 7, 1) << "12:00" << 330 << 0;
        QTest::newRow("Tokyo summer 1949") << "Asia/Tokyo" << QDate(1949, 7, 1) << "10:30" << 540 << -60;
        QTest::newRow("empty is Tokyo") << "" << QDate(1949, 7, 1) << "10:30" << 540 << -60;
        QTest::newRow("unknown is Tokyo") << "Nowhere/Atlantis" << QDate(1990, 7, 1) << "10:30" << 540 << 0;
    }
    void zonesAbroad() {
        QFETCH(QString, zone);
        QFETCH(QDate, date);
        QFETCH(QString, clock);
        QFETCH(int, standard);
        QFETCH(int, summer);
        const QTime t = QTime::fromString(clock, QStringLiteral("hh:mm"));
        const ZoneReading r =
            ZoneReadingOf(zone.toStdString(), date.year(), date.month(), date.day(), t.hour() * 60 + t.minute());
        QCOMPARE(r.standardOffsetMinutes, standard);
        QCOMPARE(r.summerMinutes, summer);
        QCOMPARE(IsKnownZone(zone), zone.contains(QLatin1Char('/')) && zone != QLatin1String("Nowhere/Atlantis"));
    }
};

QTEST_GUILESS_MAIN(TestSummerTime)
#include "tst_summer_time.moc"
