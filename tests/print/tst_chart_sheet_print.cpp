// The chart sheet of a real chart and of hand-made boxes, its grid lines,
// the refusal without a chart, and the bar-chart document.
#include "common/qstring_utf8.h"
#include "print/pdf_print_module.h"
#include "tests/print/chart_fixture.h"
#include "tests/print/pdf_words.h"

#include <QTemporaryDir>
#include <QTest>

using namespace zelvara;
using pdftest::Find;
using pdftest::ReadPdf;

namespace {

// One half-width column of a font of the given size, in grid mm at 600 dpi.
double Column(int points) { return points / 72.0 / 2 * 600 / 24; }

bool At(const pdftest::Word* w, double x, double y, double tolerance = 0.5) {
    return w && std::abs(w->x - x) < tolerance && std::abs(w->y - y) < tolerance;
}

QString Where(const pdftest::Word* w) {
    return w ? QStringLiteral("%1 at (%2, %3)").arg(w->text).arg(w->x, 0, 'f', 2).arg(w->y, 0, 'f', 2)
             : QStringLiteral("not found");
}

// The word whose top-left corner is nearest to (x, y), within half a mm.
const pdftest::Word* WordAt(const pdftest::Page& page, double x, double y) {
    for (const pdftest::Word& w : page)
        if (At(&w, x, y)) return &w;
    return nullptr;
}

// A sheet that passes the checks, with empty boxes.
ChartSheet PlainSheet() {
    ChartSheet s;
    for (int b = 1; b <= kBranches; ++b) {
        s.box[b].palace = Q(kPalaceNames[b]);
        s.box[b].branch = Q(kBranchNames[b]);
        s.box[b].age = QStringLiteral("才");
    }
    s.person = {QStringLiteral("試験"), QStringLiteral("1才"), QStringLiteral("男命")};
    s.bodyPalace = 1;
    s.bureau = 1;
    return s;
}

// Darkest grey within two pixels across a line at (xMm, yMm) of a 300 dpi raster.
int DarkestNear(const QImage& page, double xMm, double yMm, bool horizontalLine) {
    const int x = int(std::lround(xMm * 12)), y = int(std::lround(yMm * 12));
    int darkest = 255;
    for (int d = -2; d <= 2; ++d) {
        const int px = horizontalLine ? x : x + d, py = horizontalLine ? y + d : y;
        if (page.valid(px, py)) darkest = std::min(darkest, qGray(page.pixel(px, py)));
    }
    return darkest;
}

}  // namespace

class TestChartSheetPrint : public QObject {
    Q_OBJECT
private:
    pdftest::PrintsFolder prints_;
    QString Pdf(const QString& name) const { return prints_.File(name); }

private slots:
    void initTestCase() { QVERIFY2(qEnvironmentVariableIsSet("ZELVARA_DATA_DIR"), "ZELVARA_DATA_DIR"); }

    // Every text of a real chart's sheet at its place.
    void realChart() {
        printtest::CastChart chart("男", "1965", "3", "7", "23:00-01:00");
        QVERIFY2(chart.ok, qPrintable(chart.sink.Last()));
        const Tmandata& man = chart.ctx->man;
        const ChartSheet sheet =
            ChartSheetOf(man, chart.layout, QStringLiteral("山田太郎"), QStringLiteral("23:00-01:00"));
        PdfPrintModule module;
        module.SetFooter(QStringLiteral("紫微鑑定所"), QStringLiteral("03-1234-5678"));
        const QString path = Pdf(QStringLiteral("sheet.pdf"));
        const PrintOutcome out = module.PrintChartSheet(sheet, nullptr, PdfOutput{path, 600});
        QVERIFY2(out.Printed(), qPrintable(out.message));
        QCOMPARE(out.files, QStringList{path});
        const auto pages = ReadPdf(path);
        QCOMPARE(pages.size(), 1);
        const pdftest::Page& page = pages[0];

        QVERIFY2(At(Find(page, QStringLiteral("【Zelvaraプロ版"), true), 10, 10),
                 qPrintable(Where(Find(page, QStringLiteral("【Zelvaraプロ版"), true))));
        QVERIFY(
            At(Find(page, QStringLiteral("※(廟)(旺)は長所が作用しやすい。(失)(陥)は短所が作用しやすい。")), 10, 17));
        QVERIFY(At(Find(page, QStringLiteral("(著作)紫微鑑定所")), 60, 276));

        // Headers of every box; only 命宮 carries the mark.
        const ChartGrid g = SetupChartGrid();
        QCOMPARE(pdftest::Count(page, QStringLiteral("*命宮")), 1);
        QCOMPARE(pdftest::Count(page, QStringLiteral("命宮")), 0);
        for (int b = 1; b <= kBranches; ++b) {
            const double x = g.X[ChartGrid::BoxColumn(b)] + 3, y = g.Y[ChartGrid::BoxRow(b)] + 2;
            const int palace =
                int(std::find(man.palaceBranch.begin() + 1, man.palaceBranch.end(), b) - man.palaceBranch.begin());
            const QString name = palace == kLifePalace ? QStringLiteral("*命宮") : Q(kPalaceNames[palace]);
            QVERIFY2(WordAt(page, x, y) && WordAt(page, x, y)->text == name, qPrintable(Where(WordAt(page, x, y))));
            QCOMPARE(WordAt(page, x + 20, y) ? WordAt(page, x + 20, y)->text : QString(), Q(kBranchNames[b]));
            QCOMPARE(WordAt(page, x + 30, y) ? WordAt(page, x + 30, y)->text : QString(),
                     QString::number(chart.layout.ageOfBranch[b]) + QStringLiteral("才"));
            // Stars one per line from the header line down, graded ones with
            // their mark, the others after four blanks.
            int k = 0;
            for (int r = 1; r <= kBoxSlots; ++r) {
                const StarSlot& slot = chart.layout.box[b][r];
                if (slot.kind == StarSlot::Kind::Empty) continue;
                const double top = g.H[ChartGrid::BoxRow(b)] + 8 * k++;
                const double left = g.X[ChartGrid::BoxColumn(b)] + 8;
                const QString caption = QString::fromStdString(slot.caption);
                const pdftest::Word* w = slot.kind == StarSlot::Kind::Star ? WordAt(page, left, top)
                                                                           : WordAt(page, left + 4 * Column(12), top);
                const QString expected = slot.kind == StarSlot::Kind::Star ? Q(slot.Mark()) + caption : caption;
                QVERIFY2(w && w->text == expected, qPrintable(expected + QStringLiteral(": ") + Where(w)));
            }
        }

        // Centre table and labels.
        const char* heads[4] = {"時", "日", "月", "年"};
        const int stems[4] = {man.stems.hour, man.stems.day, man.stems.month, man.stems.year};
        const int branches[4] = {man.branches.hour, man.branches.day, man.branches.month, man.branches.year};
        for (int i = 0; i < 4; ++i) {
            const double x = 66 + 10 * i;
            QCOMPARE(WordAt(page, x, 103) ? WordAt(page, x, 103)->text : QString(), QString::fromUtf8(heads[i]));
            QCOMPARE(WordAt(page, x, 111) ? WordAt(page, x, 111)->text : QString(), Q(kStemNames[stems[i]]));
            QCOMPARE(WordAt(page, x, 119) ? WordAt(page, x, 119)->text : QString(), Q(kBranchNames[branches[i]]));
        }
        QCOMPARE(WordAt(page, 112, 103)->text, man.luckDirection ? QStringLiteral("逆行運") : QStringLiteral("順行運"));
        QCOMPARE(WordAt(page, 112, 111)->text, QString::number(man.firstLuckAge) + QStringLiteral("年運"));
        QCOMPARE(WordAt(page, 112, 119)->text, QStringLiteral("節入まで%1日").arg(man.daysToTerm));

        // Person block.
        QCOMPARE(WordAt(page, 66, 145)->text, QStringLiteral("山田太郎"));
        QVERIFY(Find(page, QStringLiteral("%1才").arg(man.age)) && Find(page, QStringLiteral("男命")));
        QCOMPARE(WordAt(page, 66, 155)->text, QStringLiteral("生年月日：1965/3/7"));
        QVERIFY(Find(page, QStringLiteral("23:00-01:00")));
        QCOMPARE(WordAt(page, 66, 165)->text, QStringLiteral("旧暦"));
        QVERIFY(Find(page, QStringLiteral("：%1月%2日").arg(man.lunarMonth).arg(man.lunarDay)));
        QCOMPARE(WordAt(page, 66, 175)->text, QStringLiteral("身宮"));
        QVERIFY(Find(page, QStringLiteral("：") + Q(kBranchNames[man.bodyPalace])));
        QCOMPARE(WordAt(page, 66, 185)->text, QStringLiteral("局"));
        QVERIFY(Find(page, QStringLiteral("：") + Q(kBureauNames[man.bureau - 1])));
    }

    // Entries 1, 3 and 5 print on lines 1, 2 and 3; an entry without a
    // grade stands four blanks in, where a graded star's name begins after
    // its mark. "不明の場合" prints as it is.
    // With the palace stems on, each box's header reads stem and branch as
    // one pair ending where the branch alone ends, clear of the palace name
    // and the age; the worked chart's 命宮 on 亥 takes 乙 (甲 year, 寅 丙).
    void palaceStemsBeforeTheBranch() {
        printtest::CastChart chart("男", "1984", "2", "7", "05:00-07:00");
        QVERIFY2(chart.ok, qPrintable(chart.sink.Last()));
        const Tmandata& man = chart.ctx->man;
        ChartSheet sheet = ChartSheetOf(man, chart.layout, QStringLiteral("山田太郎"), QStringLiteral("05:00-07:00"));
        SetSheetStems(sheet, man);
        PdfPrintModule module;
        const QString path = Pdf(QStringLiteral("stems.pdf"));
        QVERIFY(module.PrintChartSheet(sheet, nullptr, PdfOutput{path, 600}).Printed());
        const pdftest::Page page = ReadPdf(path).value(0);
        const ChartGrid g = SetupChartGrid();
        const char* const expected[kBranches + 1] = {"",     "丙子", "丁丑", "丙寅", "丁卯", "戊辰", "己巳",
                                                     "庚午", "辛未", "壬申", "癸酉", "甲戌", "乙亥"};
        for (int b = 1; b <= kBranches; ++b) {
            const double x = g.X[ChartGrid::BoxColumn(b)] + 3, y = g.Y[ChartGrid::BoxRow(b)] + 2;
            const pdftest::Word* pair = WordAt(page, x + 15, y);
            QVERIFY2(pair && pair->text == QString::fromUtf8(expected[b]), qPrintable(Where(pair)));
            const pdftest::Word* palace = WordAt(page, x, y);
            const pdftest::Word* age = WordAt(page, x + 30, y);
            QVERIFY(palace && age);
            QVERIFY2(palace->right < pair->x && pair->right < age->x,
                     qPrintable(Where(palace) + Where(pair) + Where(age)));
        }
    }

    void starsCloseUpGaps() {
        ChartSheet s = PlainSheet();
        s.box[3].stars[0] = {QStringLiteral("紫薇"), 1};
        s.box[3].stars[2] = {QStringLiteral("天存"), 0};
        s.box[3].stars[4] = {QStringLiteral("太陽(忌)"), 4};
        s.hour = QStringLiteral("不明の場合");
        PdfPrintModule module;
        const QString path = Pdf(QStringLiteral("gaps.pdf"));
        QVERIFY(module.PrintChartSheet(s, nullptr, PdfOutput{path, 600}).Printed());
        const auto page = ReadPdf(path).value(0);
        const double x = 102 + 8;  // box 3 (寅): third column
        QVERIFY2(At(Find(page, QStringLiteral("(廟)紫薇")), x, 35),
                 qPrintable(Where(Find(page, QStringLiteral("(廟)紫薇")))));
        QVERIFY2(At(Find(page, QStringLiteral("天存")), x + 4 * Column(12), 43),
                 qPrintable(Where(Find(page, QStringLiteral("天存")))));
        QVERIFY(At(Find(page, QStringLiteral("(陥)太陽(忌)")), x, 51));
        // The blanks take exactly the width of a mark.
        const pdftest::Word* marked = Find(page, QStringLiteral("(廟)紫薇"));
        QVERIFY(std::abs((marked->right - marked->x) / 2 - 4 * Column(12)) < 0.1);
        QVERIFY(Find(page, QStringLiteral("不明の場合")));
        QVERIFY2(At(Find(page, QStringLiteral("*命宮")), 56 + 3, 25 + 2), "命宮 stands in box 2 here");
    }

    // Rows and columns of the grid are drawn, but the centre is one field.
    void gridLeavesTheCentreUncut() {
        PdfPrintModule module;
        const QString path = Pdf(QStringLiteral("grid.pdf"));
        QVERIFY(module.PrintChartSheet(PlainSheet(), nullptr, PdfOutput{path, 600}).Printed());
        const QImage page = pdftest::Raster(path, 1, 300);
        QVERIFY(!page.isNull());
        struct Probe {
            double x, y;
            bool horizontal, drawn;
            const char* what;
        } probes[] = {
            {30, 25, true, true, "Y1"},
            {130, 85, true, true, "Y2 across the centre's top"},
            {30, 145, true, true, "Y3 left"},
            {170, 145, true, true, "Y3 right"},
            {135, 145, true, false, "Y3 in the centre"},
            {100, 265, true, true, "Y5"},
            {100, 35, true, true, "H1"},
            {30, 95, true, true, "H2 left"},
            {100, 95, true, false, "H2 in the centre"},
            {100, 215, true, true, "H4"},
            {120, 275, true, false, "no H5"},
            {102, 50, false, true, "X3 top"},
            {102, 240, false, true, "X3 bottom"},
            {102, 199, false, false, "X3 in the centre"},
            {56, 145, false, true, "X2"},
            {194, 145, false, true, "X5"},
        };
        for (const Probe& p : probes) {
            const int grey = DarkestNear(page, p.x, p.y, p.horizontal);
            QVERIFY2(p.drawn ? grey < 128 : grey > 230,
                     qPrintable(QStringLiteral("%1: grey %2").arg(p.what).arg(grey)));
        }
    }

    // The grid lines are at least 0.2 mm wide at any printer resolution
    // (3.1 pixels of a 400 dpi raster), where they were.
    void gridPenAtLeastAFifthOfAMillimetre_data() {
        QTest::addColumn<int>("dpi");
        QTest::newRow("300 dpi") << 300;
        QTest::newRow("600 dpi") << 600;
        QTest::newRow("1200 dpi") << 1200;
    }
    void gridPenAtLeastAFifthOfAMillimetre() {
        QFETCH(int, dpi);
        PdfPrintModule module;
        const QString path = Pdf(QStringLiteral("pen-%1.pdf").arg(dpi));
        QVERIFY(module.PrintChartSheet(PlainSheet(), nullptr, PdfOutput{path, dpi}).Printed());
        const QImage page = pdftest::Raster(path, 1, 400);
        QVERIFY(!page.isNull());
        const auto px = [](double mm) { return int(std::lround(mm * 400 / 25.4)); };
        // Dark pixels across Y1 at x = 30 mm and across X2 at y = 145 mm.
        for (const bool horizontal : {true, false}) {
            const int x = px(30), y = px(25), x2 = px(56), y2 = px(145);
            // The whole-dot grid puts a line up to a millimetre from its
            // nominal place: the longest dark run within 2.5 mm.
            int dark = 0, run = 0;
            for (int d = -40; d <= 40; ++d) {
                const QPoint at = horizontal ? QPoint(x, y + d) : QPoint(x2 + d, y2);
                run = page.valid(at) && qGray(page.pixel(at)) < 160 ? run + 1 : 0;
                dark = std::max(dark, run);
            }
            QVERIFY2(
                dark >= 3 && dark <= 7,
                qPrintable(
                    QStringLiteral("%1 line: %2 dark pixels").arg(horizontal ? "horizontal" : "vertical").arg(dark)));
        }
    }

    // Without a chart there is nothing to print.
    void refusedWithoutAChart() {
        PdfPrintModule module;
        const QString path = Pdf(QStringLiteral("none.pdf"));
        ChartSheet empty;
        const PrintOutcome out = module.PrintChartSheet(empty, nullptr, PdfOutput{path, 600});
        QCOMPARE(out.status, PrintOutcome::Status::Refused);
        QCOMPARE(out.message, QStringLiteral("鑑定ボタンを最初に行ってください。"));
        QVERIFY(!QFile::exists(path));
        ChartSheet outOfRange = PlainSheet();
        outOfRange.bodyPalace = 13;
        QCOMPARE(module.PrintChartSheet(outOfRange, nullptr, PdfOutput{path, 600}).status,
                 PrintOutcome::Status::Refused);
        // A chart whose body palace is none prints the blanks the display shows.
        ChartSheet none = PlainSheet();
        none.bodyPalace = 0;
        QVERIFY(module.PrintChartSheet(none, nullptr, PdfOutput{path, 600}).Printed());
    }

    // With the graph: a second page of the same file, with its heading, the
    // footer and the chart inside (10, 40)–(170, 240).
    void graphDocument() {
        printtest::CastChart chart("女", "1972", "11", "23", "09:00-11:00");
        QVERIFY2(chart.ok, qPrintable(chart.sink.Last()));
        const ChartSheet sheet =
            ChartSheetOf(chart.ctx->man, chart.layout, QStringLiteral("佐藤"), QStringLiteral("09:00-11:00"));
        const auto strength = PalaceStrengths(chart.ctx->man);
        PdfPrintModule module;
        const QString path = Pdf(QStringLiteral("with-graph.pdf"));
        const PrintOutcome out = module.PrintChartSheet(sheet, &strength, PdfOutput{path, 600});
        QVERIFY2(out.Printed(), qPrintable(out.message));
        QCOMPARE(out.documents, 1);
        QCOMPARE(out.files, QStringList{path});
        QVERIFY(!QFile::exists(NumberedPdfPath(path, 2)));
        const auto pages = ReadPdf(path);
        QCOMPARE(pages.size(), 2);
        QVERIFY(pdftest::Has(pages[0], QStringLiteral("【Zelvaraプロ版")));
        QVERIFY(!pdftest::Has(pages[0], QStringLiteral("【出生図における１２宮の特徴を分析】")));
        const pdftest::Page& page = pages[1];
        QVERIFY(At(Find(page, QStringLiteral("【出生図における１２宮の特徴を分析】")), 20, 15));
        QVERIFY(Find(page, QStringLiteral("佐藤")) && Find(page, QStringLiteral("女命")));
        QVERIFY(At(Find(page, QStringLiteral("(著作)")), 60, 276));
        for (int p = 1; p <= kPalaces; ++p) {
            const pdftest::Word* label = Find(page, Q(kPalaceNames[p]));
            QVERIFY2(label && label->x >= 10 && label->right <= 170 && label->y >= 40 && label->bottom <= 240,
                     qPrintable(Where(label)));
        }
        const pdftest::Word* title = Find(page, QStringLiteral("出生図分析"));
        QVERIFY2(title && title->y > 40 && title->y < 60, qPrintable(Where(title)));
        // The chart's silver ground fills the rectangle's corners.
        const QImage raster = pdftest::Raster(path, 2, 100);
        const auto grey = [&](double xMm, double yMm) {
            return qGray(raster.pixel(int(xMm * 4), int(yMm * 4)));  // 24 dots/mm at 600 dpi → 4 px/mm at 100 dpi
        };
        QVERIFY2(grey(11, 41) < 220 && grey(169, 239) < 220 && grey(9, 39) > 250 && grey(171, 241) > 250,
                 qPrintable(QStringLiteral("%1 %2 %3 %4")
                                .arg(grey(11, 41))
                                .arg(grey(169, 239))
                                .arg(grey(9, 39))
                                .arg(grey(171, 241))));

        // The graph alone.
        const QString alone = Pdf(QStringLiteral("graph.pdf"));
        QVERIFY(module.PrintStrengthGraph(sheet.person, strength, PdfOutput{alone, 600}).Printed());
        QVERIFY(pdftest::Has(ReadPdf(alone).value(0), QStringLiteral("出生図分析")));
    }
};

QTEST_MAIN(TestChartSheetPrint)
#include "tst_chart_sheet_print.moc"
