// The 飛星 table printed to PDF and read back: the palace rows with their
// stems and the four flights, 自化 marked, the 忌 clashes, the layer's
// transformations, and no cell running into the next column.
#include "engine/chart_layout.h"
#include "engine/stars.h"
#include "print/pdf_print_module.h"
#include "tests/print/chart_fixture.h"
#include "tests/print/pdf_words.h"
#include "tests/worked_charts.h"

#include <QTest>

using namespace zelvara;
using pdftest::Find;
using pdftest::ReadPdf;

namespace {

const PersonText kPerson{QStringLiteral("山田太郎"), QStringLiteral("43才"), QStringLiteral("男命")};

// 甲子 year, 寅 month, 卯 hour, lunar 1/6, male: 命宮 on 亥 (stem 乙), 財帛 on
// 未 (辛, with 文曲 and 文昌 standing in it), 福徳 on 丑, 官禄 on 卯, 夫妻 on 酉.
Tmandata WorkedChart() { return test::PlacedChart(1, 1, 3, 4, 1, 6, 'M', 3); }

bool At(const pdftest::Word* w, double x, double y) {
    return w && std::abs(w->x - x) < 0.6 && std::abs(w->y - y) < 0.6;
}

QString Where(const pdftest::Word* w) {
    return w ? QStringLiteral("%1 at (%2, %3)").arg(w->text).arg(w->x, 0, 'f', 2).arg(w->y, 0, 'f', 2)
             : QStringLiteral("not found");
}

QString LineAt(const pdftest::Page& page, double y) {
    QString text;
    for (const pdftest::Word& w : page)
        if (std::abs(w.y - y) < 0.6) text += w.text;
    return text;
}

// Every line of a page as text, top to bottom, for comparing two prints.
QStringList LinesOf(const pdftest::Page& page) {
    QStringList lines;
    for (const pdftest::Word& w : page)
        lines << QStringLiteral("%1@%2,%3").arg(w.text).arg(qRound(w.x)).arg(qRound(w.y));
    return lines;
}

}  // namespace

class TestFlyingTablePrint : public QObject {
    Q_OBJECT
private:
    pdftest::PrintsFolder prints_;

private slots:
    void rowsFlightsAndClashes() {
        const Tmandata man = WorkedChart();
        const QString path = prints_.File(QStringLiteral("flying.pdf"));
        PdfPrintModule module;
        const PrintOutcome out = module.PrintFlyingTable(man, kPerson, BirthLayer(man), PdfOutput{path, 600});
        QVERIFY2(out.Printed(), qPrintable(out.message));
        const auto pages = ReadPdf(path);
        QCOMPARE(pages.size(), 1);
        const pdftest::Page& page = pages[0];
        QVERIFY2(At(Find(page, QStringLiteral("【飛星表】")), 20, 15),
                 qPrintable(Where(Find(page, QStringLiteral("【飛星表】")))));

        // 命宮 is the second row: top line at 46 mm, text 2 mm below.
        const double lifeY = 48;
        QVERIFY2(At(Find(page, QStringLiteral("命宮")), 22, lifeY),
                 qPrintable(Where(Find(page, QStringLiteral("命宮")))));
        QCOMPARE(LineAt(page, lifeY), QStringLiteral("命宮亥乙天機→福徳天梁→財帛紫薇→田宅太陰→官禄"));
        QVERIFY(At(Find(page, QStringLiteral("太陰→官禄")), 158, lifeY));
        // 財帛, the sixth row: both of 辛's last flights stay at home.
        QCOMPARE(LineAt(page, 80), QStringLiteral("財帛未辛巨門→遷移太陽→命宮文曲（自化）文昌（自化）"));

        // Every cell ends before the next column begins.
        const double columns[] = {22, 44, 52, 62, 94, 126, 158, 190};
        for (const pdftest::Word& w : page) {
            if (w.y < 38 || w.y > 134) continue;
            for (int c = 0; c + 1 < 8; ++c)
                if (std::abs(w.x - columns[c]) < 0.6) QVERIFY2(w.right < columns[c + 1] - 1, qPrintable(Where(&w)));
        }

        QCOMPARE(LineAt(page, 150 + 6 * 1), QStringLiteral("命宮の忌（太陰）→官禄、夫妻を沖"));
        QCOMPARE(LineAt(page, 150 + 6 * 5), QStringLiteral("財帛の忌（文昌）→財帛、福徳を沖"));
        QCOMPARE(LineAt(page, 150 + 6 * 11), QStringLiteral("福徳の忌（巨門）→遷移、命宮を沖"));
        QVERIFY(!Find(page, QStringLiteral("の四化】"), true));
        QVERIFY(At(Find(page, QStringLiteral("(著作)")), 60, 276));
    }

    void yearLayerInTitleAndSection() {
        const Tmandata man = WorkedChart();
        const QString path = prints_.File(QStringLiteral("flying-year.pdf"));
        PdfPrintModule module;
        const PrintOutcome out = module.PrintFlyingTable(man, kPerson, *YearLayer(man, 2027), PdfOutput{path, 600});
        QVERIFY2(out.Printed(), qPrintable(out.message));
        const pdftest::Page page = ReadPdf(path).value(0);
        QVERIFY(Find(page, QStringLiteral("流年2027（丁未）")));
        QVERIFY(At(Find(page, QStringLiteral("【流年2027（丁未）の四化】")), 20, 230));
        // 丁: 太陰 (卯, 官禄) 天同 (酉, 夫妻) 天機 (丑, 福徳) 巨門 (巳, 遷移).
        QCOMPARE(LineAt(page, 238), QStringLiteral("化禄太陰→官禄化権天同→夫妻化科天機→福徳化忌巨門→遷移"));
    }

    // The chart sheet with a year layer: the caption right of the title, the
    // layer's palace names in the boxes' bottom-right corners, its 四化 after
    // the stars' text and inside their boxes; the birth layer adds nothing.
    void chartSheetWithYearLayer() {
        printtest::CastChart chart("女", "1972", "11", "23", "09:00-11:00");
        QVERIFY(chart.ok);
        const Tmandata& man = chart.ctx->man;
        ChartSheet plain = ChartSheetOf(man, chart.layout, QStringLiteral("山田花子"), QStringLiteral("09:00-11:00"));
        ChartSheet layered = plain;
        SetSheetLayer(layered, man, chart.layout, *YearLayer(man, 2027));
        ChartSheet birth = plain;
        SetSheetLayer(birth, man, chart.layout, BirthLayer(man));
        QVERIFY(birth.layer.caption.isEmpty());

        PdfPrintModule module;
        const QString layeredPath = prints_.File(QStringLiteral("sheet-year.pdf"));
        const QString plainPath = prints_.File(QStringLiteral("sheet-plain.pdf"));
        const QString birthPath = prints_.File(QStringLiteral("sheet-birth.pdf"));
        QVERIFY(module.PrintChartSheet(layered, nullptr, PdfOutput{layeredPath, 600}).Printed());
        QVERIFY(module.PrintChartSheet(plain, nullptr, PdfOutput{plainPath, 600}).Printed());
        QVERIFY(module.PrintChartSheet(birth, nullptr, PdfOutput{birthPath, 600}).Printed());
        QCOMPARE(LinesOf(ReadPdf(birthPath).value(0)), LinesOf(ReadPdf(plainPath).value(0)));

        const pdftest::Page page = ReadPdf(layeredPath).value(0);
        QVERIFY2(At(Find(page, QStringLiteral("流年2027（丁未）")), 90, 11),
                 qPrintable(Where(Find(page, QStringLiteral("流年2027（丁未）")))));
        // 年命 on 未: the box in column 3, row 4 (x 102–148, y 205–265).
        const pdftest::Word* life = Find(page, QStringLiteral("年命"));
        QVERIFY2(life && life->x > 130 && life->right < 148 && life->y > 255 && life->bottom < 265,
                 qPrintable(Where(life)));
        // 丁 makes 太陰 禄: 年禄 on 太陰's line, after its text, inside its box.
        const pdftest::Word* moon = nullptr;
        for (const pdftest::Word& w : page)
            if (w.text.endsWith(QStringLiteral("太陰"))) moon = &w;
        const pdftest::Word* mark = Find(page, QStringLiteral("年禄"));
        QVERIFY2(moon && mark, qPrintable(Where(mark)));
        QVERIFY(std::abs(mark->y - moon->y) < 2.5);
        QVERIFY2(mark->x > moon->right, qPrintable(Where(mark) + QStringLiteral(" / ") + Where(moon)));
        QVERIFY2(mark->right < 148, qPrintable(Where(mark)));
        QVERIFY(Find(page, QStringLiteral("年忌")));

        // The legend under the grid names the layer, in its colour, and is
        // printed only with a layer.
        QVERIFY2(At(Find(page, QStringLiteral("凡例")), 10, 267),
                 qPrintable(Where(Find(page, QStringLiteral("凡例")))));
        QVERIFY(LineAt(page, 267).contains(QStringLiteral("流年2027（丁未）：年命…は流年の宮、年禄…は流年の四化")));
        QVERIFY(!pdftest::Has(ReadPdf(plainPath).value(0), QStringLiteral("凡例")));
        // The swatch at (22–25, 268–271) is filled: 24 dots/mm at 600 dpi → 4 px/mm at 100 dpi.
        const QImage raster = pdftest::Raster(layeredPath, 1, 100);
        const int swatch = qGray(raster.pixel(int(23.5 * 4), int(269.5 * 4)));
        QVERIFY2(swatch < 160, qPrintable(QString::number(swatch)));
    }

    // The sheet shows the place of an exact time under the birth line; the
    // 飛星表 carries the birth data (and place) under its title.
    void birthDataAndPlace() {
        printtest::CastChart chart("女", "1972", "11", "23", "09:00-11:00");
        QVERIFY(chart.ok);
        const Tmandata& man = chart.ctx->man;
        ChartSheet sheet = ChartSheetOf(man, chart.layout, QStringLiteral("山田花子"), QStringLiteral("09:00-11:00"));
        QCOMPARE(SheetBirthLines(sheet), QStringList{QStringLiteral("生年月日：1972/11/23  09:00-11:00")});
        sheet.birthTime = QStringLiteral("09:30 → 10:02（経度 +19分、均時差 +14分）");
        sheet.birthPlace = BirthPlaceText(QStringLiteral("東京都 新宿区"), 139.69);
        QCOMPARE(sheet.birthPlace, QStringLiteral("東京都 新宿区　東経 139.69 度"));
        QCOMPARE(BirthPlaceText({}, 8.5), QStringLiteral("東経 8.50 度"));
        QVERIFY(BirthPlaceText(QStringLiteral("東京都"), std::nullopt).isEmpty());

        PdfPrintModule module;
        const QString sheetPath = prints_.File(QStringLiteral("sheet-place.pdf"));
        QVERIFY(module.PrintChartSheet(sheet, nullptr, PdfOutput{sheetPath, 600}).Printed());
        const pdftest::Page page = ReadPdf(sheetPath).value(0);
        const pdftest::Word* place = Find(page, QStringLiteral("出生地："), true);
        QVERIFY2(place && std::abs(place->x - 66) < 0.6 && std::abs(place->y - 160) < 0.6 && place->bottom < 165,
                 qPrintable(Where(place)));
        QVERIFY(LineAt(page, 160).contains(QStringLiteral("東経139.69度")));

        const QString flyingPath = prints_.File(QStringLiteral("flying-birth.pdf"));
        QVERIFY(
            module.PrintFlyingTable(man, kPerson, BirthLayer(man), PdfOutput{flyingPath, 600}, SheetBirthLines(sheet))
                .Printed());
        const pdftest::Page flying = ReadPdf(flyingPath).value(0);
        QCOMPARE(LineAt(flying, 21), QStringLiteral("生年月日：1972/11/2309:00-11:00"));
        QVERIFY2(LineAt(flying, 25).startsWith(QStringLiteral("出生時刻：09:30→10:02")) &&
                     LineAt(flying, 25).contains(QStringLiteral("出生地：東京都新宿区")),
                 qPrintable(LineAt(flying, 25)));
        for (const pdftest::Word& w : flying)
            if (std::abs(w.y - 25) < 0.6) QVERIFY2(w.bottom < 28 && w.right < 190, qPrintable(Where(&w)));
    }
};

QTEST_MAIN(TestFlyingTablePrint)
#include "tst_flying_table_print.moc"
