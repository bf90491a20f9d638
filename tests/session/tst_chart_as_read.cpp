// What a consultation entry keeps of the chart it was read from, written and
// read back: the birth as cast (a period, or an exact time with its
// correction), every kind of layer with its date, and the texts that are not
// in that form (typed by hand) refused.
#include "common/qstring_utf8.h"
#include "engine/calendar_day.h"
#include "session/chart_as_read.h"
#include "tests/recording_sink.h"

#include <QTest>

using namespace zelvara;

class TestChartAsRead : public QObject {
    Q_OBJECT
    RecordingSink sink_;
    EngineContext ctx_{qEnvironmentVariable("ZELVARA_DATA_DIR").toStdString(), sink_};

    Tmandata Cast(const BirthInput& in) {
        ctx_.FixToday({2026, 12, 8});
        const CastOutcome cast = RequestChart(ctx_, in);
        return cast ? cast->Man() : Tmandata{};
    }
    // The layer a choice lays on the chart, with its calendar day.
    std::optional<TimeLayer> Laid(const Tmandata& man, const LayerChoice& c) {
        return LayerOf(
            man, c, c.kind == LayerKind::Day || c.kind == LayerKind::Hour ? CalendarDayOf(ctx_, c.date) : std::nullopt);
    }

private slots:
    void birthWithAPeriodOrAnExactTime() {
        const Tmandata man = Cast({"山田花子", "女", "1965", "3", "7", "07:00-09:00"});
        const QString period = AsReadBirthText(man, 4, std::nullopt);
        QCOMPARE(period, QStringLiteral("1965-03-07 07:00-09:00 女"));
        auto read = ParseChartAsRead(period, QStringLiteral("本命"));
        QVERIFY(read);
        QCOMPARE(read->sexCode, 'F');
        QCOMPARE((std::array{read->year, read->month, read->day, read->hourIndex}), (std::array{1965, 3, 7, 4}));
        QVERIFY(!read->minuteOfDay && read->layers.empty());
        const BirthInput again = AsReadInput(*read, QStringLiteral("山田花子"));
        QCOMPARE(again.hour, std::string("07:00-09:00"));
        QCOMPARE(again.sex, std::string("女"));

        CorrectedBirth exact;
        exact.minuteOfDay = 5 * 60 + 42;
        exact.hourIndex = HourIndexOfMinute(exact.minuteOfDay);
        exact.clockMinute = 6 * 60;
        exact.longitudeMinutes = -18.0;
        const QString corrected = AsReadBirthText(man, exact.hourIndex, exact);
        QVERIFY2(corrected.startsWith(QStringLiteral("1965-03-07 05:42 女 出生時刻 06:00 → 05:42（経度")),
                 qPrintable(corrected));
        read = ParseChartAsRead(corrected, QStringLiteral("本命"));
        QVERIFY(read);
        QCOMPARE(read->minuteOfDay, std::optional<int>(342));
        QCOMPARE(read->hourIndex, 3);    // 卯 05:00-07:00
        exact.longitudeMinutes.reset();  // no correction moved the clock: no line
        QCOMPARE(AsReadBirthText(man, exact.hourIndex, exact), QStringLiteral("1965-03-07 05:42 女"));
    }

    // Every kind of layer comes back as the same layer on the chart.
    void layersComeBackAsShown() {
        const Tmandata man = Cast({"佐藤太郎", "男", "1972", "11", "23", "13:00-15:00"});
        LayerChoice decade, year, month, leap, day, hour, lateNight, midnight;
        decade.kind = LayerKind::Decade, decade.period = 3;
        year.kind = LayerKind::Year, year.year = 2027;
        month.kind = LayerKind::Month, month.year = 2027, month.month = 3;
        leap.kind = LayerKind::Month, leap.year = 2023, leap.month = 2, leap.leapMonth = true;
        day.kind = LayerKind::Day, day.date = {2027, 4, 15};
        hour.kind = LayerKind::Hour, hour.date = {2027, 4, 15}, hour.clockHour = 10;
        lateNight = hour, lateNight.clockHour = 23;  // 子 either side of midnight
        midnight = hour, midnight.clockHour = 0;
        for (const auto& stack : std::vector<std::vector<LayerChoice>>{
                 {decade, year}, {decade, year, month}, {leap}, {year, day}, {decade, hour}, {lateNight}, {midnight}}) {
            std::vector<TimeLayer> shown;
            for (const LayerChoice& c : stack) {
                const auto layer = Laid(man, c);
                QVERIFY(layer);
                shown.push_back(*layer);
            }
            const QString text = AsReadLayersText(shown);
            const auto read = ParseChartAsRead(QStringLiteral("1972-11-23 13:00-15:00 男"), text);
            QVERIFY2(read, qPrintable(text));
            QCOMPARE(read->layers.size(), stack.size());
            for (size_t i = 0; i < stack.size(); ++i) {
                const auto again = Laid(man, read->layers[i]);
                QVERIFY2(again, qPrintable(text));
                QCOMPARE(Q(LayerCaption(*again)), Q(LayerCaption(shown[i])));
                QCOMPARE(again->lifePalace, shown[i].lifePalace);
                QCOMPARE(again->transformStar, shown[i].transformStar);
            }
        }
        QCOMPARE(AsReadLayersText({}), QStringLiteral("本命"));
        QCOMPARE(AsReadLayersText({*Laid(man, decade), *Laid(man, year)}), QStringLiteral("大限3 流年2027"));
    }

    // Texts typed by hand are not read as a chart.
    void handTypedTextsAreRefused() {
        const QString birth = QStringLiteral("1965-03-07 07:00-09:00 女");
        for (const auto& [b, r] : std::vector<std::pair<QString, QString>>{
                 {QStringLiteral("1959-05-07 05:42（真太陽時）"), QStringLiteral("本命")},
                 {QStringLiteral("昭和40年3月7日 朝"), QStringLiteral("本命")},
                 {QStringLiteral("1965-02-30 07:00-09:00 女"), QStringLiteral("本命")},
                 {QStringLiteral("1965-03-07 07:00-08:00 女"), QStringLiteral("本命")},
                 {QStringLiteral("1965-03-07 25:10 女"), QStringLiteral("本命")},
                 {birth, QString()},
                 {birth, QStringLiteral("大限のころ")},
                 {birth, QStringLiteral("大限13")},
                 {birth, QStringLiteral("流月2027年13月")},
                 {birth, QStringLiteral("流日2027年2月30日")},
                 {birth, QStringLiteral("流時2027年4月15日朝時")},
             })
            QVERIFY2(!ParseChartAsRead(b, r), qPrintable(b + QLatin1Char('/') + r));
    }
};

QTEST_GUILESS_MAIN(TestChartAsRead)
#include "tst_chart_as_read.moc"
