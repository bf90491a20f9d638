// The perpetual calendar against the shipped calendar data: the month
// selection on its own, then the window built on it.
#include "tests/windows/calendar_support.h"
#include "windows/calendar_month.h"
#include "windows/mannen_window.h"

#include <QAbstractButton>
#include <QDate>
#include <QLabel>
#include <QRadioButton>

using namespace zelvara;

namespace {

// Day pillar of a civil date from the sexagenary cycle alone (2000-01-01 is 戊午).
QString PillarOf(const QDate& date) {
    static const QString stems = QStringLiteral("甲乙丙丁戊己庚辛壬癸");
    static const QString branches = QStringLiteral("子丑寅卯辰巳午未申酉戌亥");
    const qint64 index = ((date.toJulianDay() - QDate(2000, 1, 1).toJulianDay() + 54) % 60 + 60) % 60;
    return QString(stems.at(index % 10)) + branches.at(index % 12);
}

QString Str(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

class TestCalendarWindow : public QObject {
    Q_OBJECT
private:
    template <typename T>
    static T* Child(QWidget& w, const QString& name) {
        T* c = w.findChild<T*>(name);
        if (!c) qWarning("no control %s", qPrintable(name));
        return c;
    }
    static QString CellText(QWidget& w, const char* row, int day) {
        auto* b = Child<QAbstractButton>(w, QString::fromLatin1(row) + QString::number(day));
        return b ? b->text() : QStringLiteral("<missing>");
    }

private slots:
    // Lunar dates where lunar months change, against the real old calendar.
    void lunarDates_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<QString>("lunar");
        QTest::newRow("2020-05: last day of month 4") << 2020 << 5 << 22 << "4/30";
        QTest::newRow("2020-05: leap month repeats 4") << 2020 << 5 << 23 << "4/1";
        QTest::newRow("2020-06: leap 4 runs on") << 2020 << 6 << 20 << "4/29";
        QTest::newRow("2020-06: then month 5") << 2020 << 6 << 21 << "5/1";
        QTest::newRow("2023-01: month 12 ends") << 2023 << 1 << 21 << "12/30";
        QTest::newRow("2023-01: 12 rolls to 1") << 2023 << 1 << 22 << "1/1";
        QTest::newRow("2023-12: December advances") << 2023 << 12 << 13 << "11/1";
        QTest::newRow("2000-01: first of month 12") << 2000 << 1 << 7 << "12/1";
        // December compares with January 1st of the year after: the leap 11th
        // month of 2033 repeats 11.
        QTest::newRow("2033-12: last day of month 11") << 2033 << 12 << 21 << "11/30";
        QTest::newRow("2033-12: leap 11 repeats 11") << 2033 << 12 << 22 << "11/1";
        QTest::newRow("2033-12: leap 11 on the 25th") << 2033 << 12 << 25 << "11/4";
        QTest::newRow("2034-01: leap 11 runs on") << 2034 << 1 << 1 << "11/11";
        QTest::newRow("2034-01: then month 12") << 2034 << 1 << 20 << "12/1";
        QTest::newRow("1997-02: first day") << 1997 << 2 << 1 << "12/24";
    }
    void lunarDates() {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(QString, lunar);
        ChartFixture chart(year, month, 15);
        QVERIFY(chart.Ok());
        const CalendarMonthPage page = CalendarMonth(chart.Year(), month, &chart.Context().reki.slot[3]);
        QCOMPARE(Str(page.cells[day].lunar), lunar);
    }

    // Every day pillar of a few months follows the unbroken cycle, across the
    // 癸 → 甲 and 亥 → 子 wraps; days beyond the month stay empty.
    void dayPillars_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("days");
        QTest::newRow("2000-01 (癸亥 → 甲子 on the 7th)") << 2000 << 1 << 31;
        QTest::newRow("1997-02") << 1997 << 2 << 28;
        QTest::newRow("2024-02 leap year") << 2024 << 2 << 29;
        QTest::newRow("2020-06") << 2020 << 6 << 30;
    }
    void dayPillars() {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, days);
        ChartFixture chart(year, month, 1);
        QVERIFY(chart.Ok());
        const CalendarMonthPage page = CalendarMonth(chart.Year(), month);
        QCOMPARE(page.days, days);
        for (int d = 1; d <= 31; ++d) {
            const QString shown = Str(page.cells[d].stem) + Str(page.cells[d].branch);
            const QString expected = d <= days ? PillarOf(QDate(year, month, d)) : QString();
            QVERIFY2(shown == expected,
                     qPrintable(QStringLiteral("day %1: %2, expected %3").arg(d).arg(shown, expected)));
            if (d > days) QVERIFY(page.cells[d].lunar.empty());
        }
    }

    void risyun_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("text");
        QTest::newRow("1997: 4th at 寅") << 1997 << QStringLiteral("2月 4日 寅の刻（03:00-05:00）");
        QTest::newRow("2021: 3rd at 子") << 2021 << QStringLiteral("2月 3日 子の刻（23:00-01:00）");
    }
    void risyun() {
        QFETCH(int, year);
        QFETCH(QString, text);
        ChartFixture chart(year, 6, 1);
        QVERIFY(chart.Ok());
        QCOMPARE(Str(RisyunText(chart.Year())), text);
    }

    // The window opens on the birth month with the year's header filled.
    void opensOnBirthMonth() {
        ChartFixture chart(1997, 2, 10);
        QVERIFY(chart.Ok());
        Tmannenfrm win(chart.Year(), chart.Context().man.birthYear, chart.Context().man.birthMonth,
                       Tmannenfrm::CalendarSourceLine(chart.Folder()));
        const Tmannenfrm& w = win;
        QCOMPARE(w.windowTitle(), QStringLiteral("万年暦"));
        QCOMPARE(w.SelectedMonth(), 2);
        QVERIFY(Child<QRadioButton>(win, "m2")->isChecked());
        QCOMPARE(Child<QLabel>(win, "yy")->text(), QStringLiteral("1997年"));
        QCOMPARE(Child<QLabel>(win, "risyun")->text(), QStringLiteral("2月 4日 寅の刻（03:00-05:00）"));
        QCOMPARE(Child<QAbstractButton>(win, "maeyyten")->text() + Child<QAbstractButton>(win, "maeyychi")->text(),
                 QStringLiteral("丙子"));
        QCOMPARE(Child<QAbstractButton>(win, "yyten")->text() + Child<QAbstractButton>(win, "yychi")->text(),
                 QStringLiteral("丁丑"));
        QCOMPARE(Child<QAbstractButton>(win, "m2ten")->text() + Child<QAbstractButton>(win, "m2chi")->text(),
                 QStringLiteral("壬寅"));
        QCOMPARE(Child<QAbstractButton>(win, "m12ten")->text() + Child<QAbstractButton>(win, "m12chi")->text(),
                 QStringLiteral("壬子"));
        // ▲ and the entry hour stand under the 4th.
        QCOMPARE(Child<QLabel>(win, "setuday1")->x(), Child<QAbstractButton>(win, "sinday4")->x());
        QCOMPARE(Child<QLabel>(win, "setuday2")->x(), Child<QAbstractButton>(win, "sinday4")->x());
        QCOMPARE(Child<QLabel>(win, "setuday2")->text(), QStringLiteral("03:00-05:00"));
        QCOMPARE(CellText(win, "kyuday", 1), QStringLiteral("12/24"));
        QCOMPARE(CellText(win, "daykan", 1) + CellText(win, "daychi", 1), PillarOf(QDate(1997, 2, 1)));
        // The footnote names the source of the data.
        const QString source = Tmannenfrm::CalendarSourceLine(chart.Folder());
        QVERIFY(!source.isEmpty());
        QVERIFY(Child<QLabel>(win, "StaticText1")->text().endsWith(source));
    }

    // Picking February after December empties days 29–31 but their numbers.
    void februaryAfterDecember() {
        ChartFixture chart(1997, 12, 5);
        QVERIFY(chart.Ok());
        Tmannenfrm w(chart.Year(), 1997, 12, {});
        QCOMPARE(w.SelectedMonth(), 12);
        QCOMPARE(CellText(w, "kyuday", 31).isEmpty(), false);
        QCOMPARE(Child<QLabel>(w, "setuday1")->x(), Child<QAbstractButton>(w, "sinday7")->x());
        QTest::mouseClick(Child<QRadioButton>(w, "m2"), Qt::LeftButton);
        QCOMPARE(w.SelectedMonth(), 2);
        for (int d = 29; d <= 31; ++d) {
            QCOMPARE(CellText(w, "sinday", d), QString::number(d));
            QCOMPARE(CellText(w, "kyuday", d), QString());
            QCOMPARE(CellText(w, "daykan", d), QString());
            QCOMPARE(CellText(w, "daychi", d), QString());
        }
        QCOMPARE(CellText(w, "daykan", 28) + CellText(w, "daychi", 28), PillarOf(QDate(1997, 2, 28)));
        // The marker went from 大雪 (7 December) to 立春 (4 February).
        QCOMPARE(Child<QLabel>(w, "setuday1")->x(), Child<QAbstractButton>(w, "sinday4")->x());
    }

    // A leap month starting inside the picked month, on screen.
    void leapMonthOnScreen() {
        ChartFixture chart(2020, 5, 30);
        QVERIFY(chart.Ok());
        Tmannenfrm w(chart.Year(), 2020, 5, {});
        QCOMPARE(CellText(w, "kyuday", 22), QStringLiteral("4/30"));
        QCOMPARE(CellText(w, "kyuday", 23), QStringLiteral("4/1"));
        QCOMPARE(CellText(w, "sinday", 23), QStringLiteral("23"));
        QVERIFY(Child<QLabel>(w, "StaticText1")->text().startsWith(QStringLiteral("※この暦は")));
    }

    // The leap 11th month of 2033 begins on 22 December: the window takes the
    // year after from the chart to show it.
    void leapEleventhMonthOfDecember2033OnScreen() {
        ChartFixture chart(2033, 12, 25);
        QVERIFY(chart.Ok());
        QCOMPARE(chart.Context().man.lunarMonth, 11);
        QCOMPARE(chart.Context().man.lunarDay, 4);
        Tmannenfrm w(chart.Year(), 2033, 12, {}, nullptr, &chart.Context().reki.slot[3]);
        QCOMPARE(CellText(w, "kyuday", 21), QStringLiteral("11/30"));
        QCOMPARE(CellText(w, "kyuday", 22), QStringLiteral("11/1"));
        QCOMPARE(CellText(w, "kyuday", 31), QStringLiteral("11/10"));
    }
};

QTEST_MAIN(TestCalendarWindow)
#include "tst_calendar_window.moc"
