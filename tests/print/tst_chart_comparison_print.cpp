// The comparison page of 「境界注意」: one A4 landscape page with the reason,
// both grids with the differing boxes marked, the differences and the footer.
#include "engine/alternatives.h"
#include "print/chart_comparison_print.h"
#include "print/pdf_print_module.h"
#include "tests/print/chart_fixture.h"
#include "tests/print/pdf_words.h"

#include <QProcess>
#include <QTest>

using namespace zelvara;

namespace {

// The period of 卯 and the one after it of the same birth.
struct TwoCharts {
    printtest::CastChart chart{"男", "1965", "3", "17", "05:00-07:00"};
    printtest::CastChart other{"男", "1965", "3", "17", "07:00-09:00"};
};

ChartComparison ComparisonOf(const TwoCharts& c) {
    ChartComparison k;
    k.chart = ChartSheetOf(c.chart.ctx->man, c.chart.layout, QStringLiteral("山田太郎"), QStringLiteral("05:00-07:00"));
    k.alternative =
        ChartSheetOf(c.other.ctx->man, c.other.layout, QStringLiteral("山田太郎"), QStringLiteral("07:00-09:00"));
    k.person = k.chart.person;
    k.birthLines = SheetBirthLines(k.chart);
    k.reason = QStringLiteral("境界注意：出生が 06:58、卯と辰の境から 2 分");
    k.chartCaption = QStringLiteral("この出生図（卯の刻）");
    k.alternativeCaption = QStringLiteral("別の読み（辰の刻）");
    for (const std::string& d : DifferenceTexts(c.chart.ctx->man, c.other.ctx->man))
        k.differences << QString::fromStdString(d);
    return k;
}

// Pixels of the marks' tint on a colour raster of page 1.
int TintedPixels(const QString& pdf) {
    QTemporaryDir dir;
    const QString stem = dir.filePath(QStringLiteral("page"));
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-singlefile"),
                                         QStringLiteral("-png"), pdf, stem});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return -1;
    const QImage image(stem + QStringLiteral(".png"));
    if (const QString shots = qEnvironmentVariable("ZELVARA_SCREENSHOT_DIR"); !shots.isEmpty()) {
        QProcess big;
        big.start(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-r"), QStringLiteral("110"), QStringLiteral("-singlefile"), QStringLiteral("-png"),
                   pdf, shots + QStringLiteral("/chart_comparison_print")});
        big.waitForFinished(30000);
    }
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.red() > 240 && c.green() > 215 && c.green() < 240 && c.blue() > 210 && c.blue() < 235;
        }
    return n;
}

}  // namespace

class TestChartComparisonPrint : public QObject {
    Q_OBJECT
private:
    pdftest::PrintsFolder prints_;

private slots:
    // The boxes that differ: those whose palace or stars change, not the
    // luck ages alone; the centre when 身宮 or 五行局 does.
    void differingParts() {
        const TwoCharts c;
        QVERIFY(c.chart.ok && c.other.ok);
        const ChartComparison k = ComparisonOf(c);
        const SheetMarks same = DifferingParts(k.chart, k.chart);
        QVERIFY(!same.Any());
        const SheetMarks marks = DifferingParts(k.chart, k.alternative);
        const int lifeBefore = c.chart.ctx->man.palaceBranch[kLifePalace];
        const int lifeAfter = c.other.ctx->man.palaceBranch[kLifePalace];
        QVERIFY(lifeBefore != lifeAfter);
        QVERIFY(marks.box[lifeBefore] && marks.box[lifeAfter]);
        ChartSheet agesOnly = k.chart;
        agesOnly.box[1].age = QStringLiteral("99才");
        QVERIFY(!DifferingParts(k.chart, agesOnly).Any());
        ChartSheet bureau = k.chart;
        bureau.bureau = k.chart.bureau % kBureaus + 1;
        QVERIFY(DifferingParts(k.chart, bureau).centre);
    }

    // One landscape page: the reason, the captions, each difference, the
    // footer; the marked boxes tinted.
    void onePageWithReasonAndDifferences() {
        const TwoCharts c;
        const ChartComparison k = ComparisonOf(c);
        QVERIFY(k.differences.size() > 3);
        const QString path = prints_.File(QStringLiteral("comparison.pdf"));
        PdfPrintModule module;
        module.SetFooter(QStringLiteral("星読み館"), QStringLiteral("03-1234-5678"));
        const PrintOutcome out = module.PrintChartComparison(k, PdfOutput{path, 600});
        QVERIFY2(out.Printed(), qPrintable(out.message));
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {path});
        QVERIFY(info.waitForFinished(30000));
        const QString pdfInfo = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(pdfInfo.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(pdfInfo));
        QVERIFY2(pdfInfo.contains(QRegularExpression(QStringLiteral("Page size:\\s+84[12][.\\d]* x 595"))),
                 qPrintable(pdfInfo));

        const auto pages = pdftest::ReadPdf(path);
        QCOMPARE(pages.size(), 1);
        const QString text = pdftest::PageText(pages[0]).remove(QLatin1Char(' '));
        for (const QString& expected :
             {QStringLiteral("【出生図の比較】"), QStringLiteral("境界注意：出生が06:58、卯と辰の境から2分"),
              QStringLiteral("この出生図（卯の刻）"), QStringLiteral("別の読み（辰の刻）"),
              QStringLiteral("(著作)星読み館"), QStringLiteral("TEL03-1234-5678")})
            QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" / ") + text));
        for (const QString& d : k.differences.mid(0, 60))
            QVERIFY2(text.contains(QString(d).remove(QLatin1Char(' '))), qPrintable(d));
        // The grids come without the sheet's own title and footer (no
        // clipped-away text hides in the file), the page's footer once.
        QVERIFY2(!text.contains(QStringLiteral("出生図】")), qPrintable(text));
        QCOMPARE(text.count(QStringLiteral("TEL03-1234-5678")), 1);
        // Everything stays on the page (297 × 210 mm).
        for (const pdftest::Word& w : pages[0]) QVERIFY2(w.right < 297 && w.bottom < 210, qPrintable(w.text));
        QVERIFY(TintedPixels(path) > 100);
    }
};

QTEST_MAIN(TestChartComparisonPrint)
#include "tst_chart_comparison_print.moc"
