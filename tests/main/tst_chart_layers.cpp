// The time layers on the chart page: nothing drawn for 本命, the layer's
// palace names and 四化 in the right boxes, the flying 四化 of a palace on
// Ctrl+click, and the redraw time of a layer switch.
#include "chart_display.h"
#include "chart_layer_view.h"
#include "chart_request.h"
#include "context.h"
#include "recording_sink.h"
#include "stars.h"
#include "timi.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

using namespace zelvara;

namespace {

// The chart page's boxes and centre panel as the main window builds them.
struct ChartPage {
    QWidget page;
    std::array<ChartBox, kChartBoxes> boxes;
    QFrame* centre = nullptr;
    std::unique_ptr<ChartLayerView> view;
    RecordingSink sink;
    EngineContext ctx{qEnvironmentVariable("ZELVARA_DATA_DIR").toStdString(), sink};
    ChartLayout layout;
    ChartCentre centreLabels;
    Timi timi;

    ChartPage()
    {
        page.resize(760, 500);
        boxes = CreateChartBoxFrames(&page);
        centre = new QFrame(&page);
        centre->setGeometry(142, 122, 279, 250);
        centreLabels = BuildChartCentre(centre);
        const QString data = qEnvironmentVariable("ZELVARA_DATA_DIR");
        BuildChartBoxes(boxes, DataFolders{data, data});
        view = std::make_unique<ChartLayerView>(&page, centre, boxes);
        page.show();
    }

    bool Cast(const char* sex, const char* year, const char* month, const char* day, const char* hour)
    {
        ctx.FixToday({2026, 12, 8});
        BirthInput in{"山田太郎", sex, year, month, day, hour};
        if (RequestChart(ctx, in) != 0)
            return false;
        LayOutLuckPeriods(ctx.man);
        layout = LayOutChart(ctx.man);
        FillChartCentre(centreLabels, ctx.man);
        const QString data = qEnvironmentVariable("ZELVARA_DATA_DIR");
        FillChartBoxes(boxes, centreLabels, ctx.man, layout, timi, LoadPalaceGlyphs(DataFolders{data, data}));
        view->SetChart(&ctx.man, &layout);
        return true;
    }

    // Saves a picture of the page when ZELVARA_SCREENSHOT_DIR is set.
    void Snapshot(const QString& name)
    {
        const QString dir = qEnvironmentVariable("ZELVARA_SCREENSHOT_DIR");
        if (!dir.isEmpty() && QDir().mkpath(dir))
            page.grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
    }

    // The slot where a star stands in its box.
    int SlotOf(int star) const
    {
        const int b = ctx.man.starBranch[star];
        for (int r = 1; r <= kBoxSlots; ++r)
            if (layout.box[b][r].kind == StarSlot::Kind::Star && layout.box[b][r].number == star)
                return r;
        return 0;
    }
};

}  // namespace

class TestChartLayers : public QObject {
    Q_OBJECT
private slots:
    void birthChartDrawsNothing()
    {
        ChartPage p;
        QVERIFY(p.Cast("男", "1959", "5", "7", "05:00-07:00"));
        QCOMPARE(p.view->KindBox()->currentText(), QStringLiteral("本命"));
        QVERIFY(!p.view->YearBox()->isEnabled());
        for (int b = 1; b <= kBranches; ++b) {
            const BoxOverlay& o = p.view->Shown()[b];
            QVERIFY(o.layerPalace.isEmpty() && !o.flyingSource);
            for (int r = 1; r <= kBoxSlots; ++r)
                QVERIFY(o.layerMarks[r].isEmpty() && o.flyingMarks[r].isEmpty());
        }
        QVERIFY(p.view->CaptionLabel()->text().isEmpty());
        // The page with the overlay is the page without it, pixel for pixel.
        const QImage with = p.page.grab().toImage();
        p.view->Overlay()->hide();
        QCOMPARE(p.page.grab().toImage(), with);
    }

    void yearLayerNamesAndMarks()
    {
        ChartPage p;
        QVERIFY(p.Cast("女", "1972", "11", "23", "09:00-11:00"));
        QSignalSpy changed(p.view.get(), &ChartLayerView::LayerChanged);
        p.view->YearBox()->setValue(2027);
        p.view->KindBox()->setCurrentText(QStringLiteral("流年"));
        QVERIFY(changed.count() >= 1);
        QVERIFY(p.view->YearBox()->isEnabled() && !p.view->MonthBox()->isEnabled());
        QCOMPARE(p.view->CaptionLabel()->text(), QStringLiteral("流年2027（丁未）"));
        // The year's 命 on 未 (branch 8), its 兄弟 one branch back on 午.
        QCOMPARE(p.view->Shown()[8].layerPalace, QStringLiteral("年命"));
        QCOMPARE(p.view->Shown()[7].layerPalace, QStringLiteral("年兄"));
        QCOMPARE(p.view->Shown()[9].layerPalace, QStringLiteral("年父"));
        // 丁 transforms 太陰 (禄) and 巨門 (忌): marks beside those stars.
        const int moon = 8, gate = 10;
        QCOMPARE(p.view->Shown()[p.ctx.man.starBranch[moon]].layerMarks[p.SlotOf(moon)], QStringLiteral("禄"));
        QCOMPARE(p.view->Shown()[p.ctx.man.starBranch[gate]].layerMarks[p.SlotOf(gate)], QStringLiteral("忌"));
        p.view->ShowFlying(kLifePalace);
        p.Snapshot(QStringLiteral("layer-year-flying"));
        p.view->ShowFlying(0);
        // Something is drawn now.
        const QImage with = p.page.grab().toImage();
        p.view->Overlay()->hide();
        QVERIFY(p.page.grab().toImage() != with);

        p.view->KindBox()->setCurrentText(QStringLiteral("流月"));
        p.view->MonthBox()->setValue(3);
        QVERIFY(p.view->MonthBox()->isEnabled());
        QVERIFY(p.view->CaptionLabel()->text().startsWith(QStringLiteral("流月2027年3月")));

        p.view->KindBox()->setCurrentText(QStringLiteral("大限3"));
        QCOMPARE(p.view->CurrentLayer()->period, 3);
        QVERIFY(p.view->CaptionLabel()->text().startsWith(QStringLiteral("大限3（")));
    }

    // Ctrl+click shows a palace's flights and consumes the click; a plain
    // click still reaches the button (it opens the palace's reading).
    void flyingOnControlClick()
    {
        ChartPage p;
        QVERIFY(p.Cast("男", "1965", "3", "7", "23:00-01:00"));
        const int lifeBranch = p.ctx.man.palaceBranch[kLifePalace];
        PalaceButton* life = p.boxes[lifeBranch - 1].palace;
        QSignalSpy clicked(life, &QToolButton::clicked);
        QTest::mouseClick(life, Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(p.view->FlyingSource(), kLifePalace);
        QVERIFY(p.view->Shown()[lifeBranch].flyingSource);
        QVERIFY(p.view->FlyingLabel()->text().startsWith(QStringLiteral("命宮（")));
        QVERIFY(p.view->FlyingLabel()->text().contains(QStringLiteral("忌沖：")));
        const FlyingTransforms flying = FlyTransforms(p.ctx.man);
        for (int t = 1; t <= kTransforms; ++t) {
            const int star = TransformStarOf(flying.palaceStem[kLifePalace], t);
            const int slot = p.SlotOf(star);
            if (slot == 0)
                continue;
            QVERIFY(p.view->Shown()[p.ctx.man.starBranch[star]].flyingMarks[slot].size() >= 1);
        }
        QTest::mouseClick(life, Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(p.view->FlyingSource(), 0);
        QVERIFY(p.view->FlyingLabel()->text().isEmpty());
        QTest::mouseClick(life, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
    }

    // Every entry of the picker, and a run of years, each redrawn at once.
    void switchingRedrawsFast()
    {
        ChartPage p;
        QVERIFY(p.Cast("女", "1972", "11", "23", "09:00-11:00"));
        p.view->ShowFlying(kLifePalace);
        QVERIFY(QTest::qWaitForWindowExposed(&p.page));
        QElapsedTimer timer;
        std::vector<qint64> times;
        auto redraw = [&](const std::function<void()>& change) {
            timer.start();
            change();
            p.page.repaint();
            times.push_back(timer.nsecsElapsed());
        };
        for (int i = 0; i < p.view->KindBox()->count(); ++i)
            redraw([&] { p.view->KindBox()->setCurrentIndex(i); });
        p.view->KindBox()->setCurrentText(QStringLiteral("流年"));
        for (int y = 2000; y < 2040; ++y)
            redraw([&] { p.view->YearBox()->setValue(y); });
        std::sort(times.begin(), times.end());
        const double median = double(times[times.size() / 2]) / 1e6;
        qInfo("layer switches: %zu, median %.2f ms, worst %.2f ms", times.size(), median, double(times.back()) / 1e6);
#if defined(__SANITIZE_ADDRESS__)
        qInfo("sanitizer build: the 10 ms bound is not checked");
#else
        QVERIFY2(median < 10.0, "a layer switch must redraw the page in 10 ms");
#endif
    }
};

QTEST_MAIN(TestChartLayers)
#include "tst_chart_layers.moc"
