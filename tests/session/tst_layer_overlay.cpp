// What the time layers and a palace's flights put over a chart, composed
// without a screen: every layer's palace name on every palace in stack
// order, each layer's four 四化 beside their stars, a palace's flights with
// its 自化, nothing for the birth chart alone, and the legend's names.
#include "common/qstring_utf8.h"
#include "engine/chart_request.h"
#include "engine/stars.h"
#include "session/layer_overlay.h"
#include "tests/recording_sink.h"

#include <QTest>

#include <optional>
#include <vector>

using namespace zelvara;

namespace {

struct Cast {
    RecordingSink sink;
    EngineContext ctx{qEnvironmentVariable("ZELVARA_DATA_DIR").toStdString(), sink};
    std::optional<Chart> chart;
    ChartLayout layout;

    explicit Cast(const BirthInput& in, const Conventions& conventions = {}) {
        ctx.FixToday({2026, 12, 8});
        if (CastOutcome cast = RequestChart(ctx, in, conventions)) {
            chart = *cast;
            layout = LayOutChart(chart->Man());
        }
    }
    const Tmandata& Man() const { return chart->Man(); }
};

// Every layer label of one kind over the whole chart, and where the marks of
// the kind stand: (branch, slot, text).
QStringList MarksOf(const ChartOverlay& overlay, LayerKind kind) {
    QStringList marks;
    for (int b = 1; b <= kBranches; ++b)
        for (int r = 1; r <= kBoxSlots; ++r)
            for (const LayerLabel& mark : overlay[b].layerMarks[r])
                if (mark.kind == kind) marks << QStringLiteral("%1/%2/%3").arg(b).arg(r).arg(mark.text);
    return marks;
}

}  // namespace

class TestLayerOverlay : public QObject {
    Q_OBJECT
private slots:
    void stackedLayersInOrder() {
        Cast c({"山田花子", "女", "1972", "11", "23", "09:00-11:00"});
        const auto decade = DecadeLayer(c.Man(), 3);
        const auto year = YearLayer(c.Man(), 2027);
        QVERIFY(decade && year);
        const ChartOverlay overlay = ComposeOverlay(c.Man(), c.layout, {BirthLayer(c.Man()), *decade, *year}, 0);
        for (int p = 1; p <= kPalaces; ++p) {
            const BoxOverlay& box = overlay[c.Man().palaceBranch[p]];
            QCOMPARE(box.layerPalaces.size(), size_t(2));  // the birth layer adds nothing
            QCOMPARE(box.layerPalaces[0].kind, LayerKind::Decade);
            QCOMPARE(box.layerPalaces[0].text, Q(LayerPalaceName(LayerKind::Decade, decade->layerPalace[p])));
            QCOMPARE(box.layerPalaces[1].kind, LayerKind::Year);
            QCOMPARE(box.layerPalaces[1].text, Q(LayerPalaceName(LayerKind::Year, year->layerPalace[p])));
        }
        // Each layer's four transformations beside the stars its stem names.
        for (const TimeLayer* layer : {&*decade, &*year}) {
            QStringList expected;
            for (int t = 1; t <= kTransforms; ++t) {
                const int star = layer->transformStar[t];
                const int branch = c.Man().starBranch[star];
                expected << QStringLiteral("%1/%2/%3")
                                .arg(branch)
                                .arg(BoxSlotOfStar(c.layout, branch, star))
                                .arg(Q(TransformChar(t)));
            }
            QStringList got = MarksOf(overlay, layer->kind);
            expected.sort();
            got.sort();
            QCOMPARE(got, expected);
        }
        // A star both layers transform carries the decade's mark first.
        for (int b = 1; b <= kBranches; ++b)
            for (int r = 1; r <= kBoxSlots; ++r)
                if (overlay[b].layerMarks[r].size() == 2) QCOMPARE(overlay[b].layerMarks[r][0].kind, LayerKind::Decade);
    }

    void birthAloneAddsNothingAndFlightsAreMarked() {
        Cast c({"見本", "男", "1965", "3", "7", "23:00-01:00"});
        const ChartOverlay none = ComposeOverlay(c.Man(), c.layout, {BirthLayer(c.Man())}, 0);
        for (const BoxOverlay& box : none) {
            QVERIFY(box.layerPalaces.empty() && !box.flyingSource);
            for (int r = 1; r <= kBoxSlots; ++r) QVERIFY(box.layerMarks[r].empty() && box.flyingMarks[r].isEmpty());
        }
        const FlyingTransforms flying = FlyTransforms(c.Man());
        for (int palace = 1; palace <= kPalaces; ++palace) {
            const ChartOverlay overlay = ComposeOverlay(c.Man(), c.layout, {}, palace);
            int sources = 0;
            for (const BoxOverlay& box : overlay) sources += box.flyingSource ? 1 : 0;
            QCOMPARE(sources, 1);
            QVERIFY(overlay[c.Man().palaceBranch[palace]].flyingSource);
            for (int t = 1; t <= kTransforms; ++t) {
                const int star = TransformStarOf(flying.palaceStem[palace], t);
                const int branch = c.Man().starBranch[star];
                const int slot = BoxSlotOfStar(c.layout, branch, star);
                if (slot == 0) continue;
                QVERIFY(overlay[branch].flyingMarks[slot].contains(Q(TransformChar(t))));
                QCOMPARE(overlay[branch].selfMarks[slot], flying.SelfTransform(palace, t));
            }
            // The panel's text in three lines, or two when the panel is short.
            QCOMPARE(FlyingSummary(c.Man(), palace).count(QLatin1Char('\n')), 2);
            QCOMPARE(FlyingSummary(c.Man(), palace, 2).count(QLatin1Char('\n')), 1);
        }
    }

    // A 四化 table that puts 化科 on 右弼 marks it beside 右弼 for a 戊 layer
    // and a 戊 palace's flights, and beside no graded star.
    void additionalStarCarriesTheMark() {
        Conventions ubitsu;
        ubitsu.transforms.wu = WuTransform::kUbitsu;
        Cast c({"山田花子", "女", "1988", "6", "15", "13:00-15:00"}, ubitsu);
        QVERIFY(c.chart);
        const int branch = c.Man().minorBranch[5];
        int slot = 0;
        for (int r = 1; r <= kBoxSlots; ++r)
            if (c.layout.box[branch][r].kind == StarSlot::Kind::Minor && c.layout.box[branch][r].number == 5) slot = r;
        QVERIFY(slot != 0);  // 右弼 is shown in its box
        int wuPalace = 0;
        const FlyingTransforms flying = FlyTransforms(c.Man());
        for (int p = 1; p <= kPalaces; ++p)
            if (flying.palaceStem[p] == 5) wuPalace = p;
        const ChartOverlay overlay = ComposeOverlay(c.Man(), c.layout, {*YearLayer(c.Man(), 2028)}, wuPalace);
        QVERIFY2(MarksOf(overlay, LayerKind::Year).contains(QStringLiteral("%1/%2/科").arg(branch).arg(slot)),
                 qPrintable(MarksOf(overlay, LayerKind::Year).join(' ')));
        QVERIFY(overlay[branch].flyingMarks[slot].contains(QStringLiteral("科")));
        const int sun = c.Man().starBranch[3];
        if (const int sunSlot = BoxSlotOfStar(c.layout, sun, 3)) {
            QVERIFY(!overlay[sun].flyingMarks[sunSlot].contains(QStringLiteral("科")));
            QVERIFY(!MarksOf(overlay, LayerKind::Year).contains(QStringLiteral("%1/%2/科").arg(sun).arg(sunSlot)));
        }
    }

    void legendNames() {
        Cast c({"見本", "男", "1984", "2", "7", "05:00-07:00"});
        const auto decade = DecadeLayer(c.Man(), 3);
        const auto month = MonthLayer(c.Man(), 2027, 3);
        QVERIFY(decade && month);
        QCOMPARE(LegendShortCaption(*decade), QStringLiteral("大限3"));
        QCOMPARE(LegendCaption(*decade), QStringLiteral("大限3（29〜38才）"));
        QCOMPARE(LegendShortCaption(*month), QStringLiteral("流月3月"));
        TimeLayer hour;
        hour.kind = LayerKind::Hour;
        hour.date = {2027, 4, 15};
        hour.stem = 6;
        hour.branch = 6;
        QCOMPARE(LegendShortCaption(hour), QStringLiteral("流時巳"));
        QCOMPARE(LegendCaption(hour), QStringLiteral("流時4/15 巳時（己巳）"));
    }
};

QTEST_MAIN(TestLayerOverlay)
#include "tst_layer_overlay.moc"
