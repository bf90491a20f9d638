// The chart sheet as a picture: the sizes offered, PNG and SVG drawn by the
// same code (an SVG rendered to the PNG's size shows the same picture), the
// footer line on it, and the command line's --png, --svg and --size.
#include "print/chart_picture.h"
#include "print/print_document.h"
#include "tests/print/chart_fixture.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace zelvara;

namespace {

ChartSheet SheetOf(const printtest::CastChart& chart) {
    return ChartSheetOf(chart.ctx->man, chart.layout, QStringLiteral("山田花子"), QStringLiteral("09:00-11:00"));
}

QImage RenderSvg(const QByteArray& svg, const QSize& size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QSvgRenderer renderer(svg);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

// The share of pixels (of those that are not white in either picture) whose
// grey differs by more than tolerance, after both are blurred by a shrink
// to a quarter, which takes away the differences of the edges' smoothing.
double DifferentShare(const QImage& a, const QImage& b, int tolerance = 48) {
    const QImage sa = a.scaled(a.size() / 4, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage sb = b.scaled(b.size() / 4, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int inked = 0, different = 0;
    for (int y = 0; y < sa.height(); ++y)
        for (int x = 0; x < sa.width(); ++x) {
            const int ga = qGray(sa.pixel(x, y)), gb = qGray(sb.pixel(x, y));
            if (ga > 250 && gb > 250) continue;
            ++inked;
            if (std::abs(ga - gb) > tolerance) ++different;
        }
    return inked ? double(different) / inked : 1.0;
}

// Dark pixels in a band of rows given as shares of the height.
int InkIn(const QImage& image, double fromShare, double toShare) {
    int ink = 0;
    for (int y = int(image.height() * fromShare); y < int(image.height() * toShare); ++y)
        for (int x = 0; x < image.width(); ++x) ink += qGray(image.pixel(x, y)) < 128;
    return ink;
}

}  // namespace

class TestChartPicture : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;

private slots:
    void sizesOffered() {
        QCOMPARE(ParsePictureSize(QStringLiteral("1080x1080"))->pixels, QSize(1080, 1080));
        QCOMPARE(ParsePictureSize(QStringLiteral("1080x1350"))->pixels, QSize(1080, 1350));
        QCOMPARE(ParsePictureSize(QStringLiteral(" A4 ")), (PictureSize{QSize(2480, 3508), 300}));
        QCOMPARE(ParsePictureSize(QStringLiteral("800×600"))->pixels, QSize(800, 600));
        for (const char* bad : {"", "1080", "1080x", "x1080", "99x1080", "1080x8001", "1080*1350", "a5", "-5x100"})
            QVERIFY2(!ParsePictureSize(QString::fromLatin1(bad)), bad);
    }

    // Each size gives a picture of its pixels; A4 keeps its 300 dpi.
    void pictureSizes() {
        printtest::CastChart chart("女", "1972", "11", "23", "09:00-11:00");
        QVERIFY(chart.ok);
        for (const NamedPictureSize& named : PictureSizes()) {
            QElapsedTimer timer;
            timer.start();
            const QImage image =
                ChartPictureImage(SheetOf(chart), FooterLine(QStringLiteral("星の館"), {}), named.size);
            qInfo("%s: %lld ms", qPrintable(named.name), timer.elapsed());
            QCOMPARE(image.size(), named.size.pixels);
            if (named.size.dotsPerInch) QCOMPARE(qRound(image.dotsPerMeterX() * 0.0254), 300);
        }
    }

    // The SVG, rendered at the PNG's size, shows what the PNG shows; a
    // picture of another chart does not.
    void pngAndSvgAgree() {
        printtest::CastChart chart("女", "1972", "11", "23", "09:00-11:00");
        printtest::CastChart other("男", "1959", "5", "7", "05:00-07:00");
        QVERIFY(chart.ok && other.ok);
        ChartSheet sheet = SheetOf(chart);
        SetSheetLayer(sheet, chart.ctx->man, chart.layout, *YearLayer(chart.ctx->man, 2027));
        const QString footer = FooterLine(QStringLiteral("星の館"), QStringLiteral("03-1234-5678"));
        for (const char* sizeName : {"1080x1350", "1080x1080"}) {
            const PictureSize size = *ParsePictureSize(QString::fromLatin1(sizeName));
            const QImage png = ChartPictureImage(sheet, footer, size);
            const QImage svg = RenderSvg(ChartPictureSvg(sheet, footer, size), size.pixels);
            const double same = DifferentShare(png, svg);
            const double unlike = DifferentShare(png, ChartPictureImage(SheetOf(other), footer, size));
            qInfo("%s: %.4f of the inked pixels differ from the SVG's, %.4f from another chart's", sizeName, same,
                  unlike);
            QVERIFY2(same < 0.03 && unlike > 0.15,
                     qPrintable(QStringLiteral("%1: %2 %3").arg(QString::fromLatin1(sizeName)).arg(same).arg(unlike)));
            if (const QString shots = qEnvironmentVariable("ZELVARA_SCREENSHOT_DIR"); !shots.isEmpty()) {
                png.save(shots + QStringLiteral("/picture-%1.png").arg(QString::fromLatin1(sizeName)));
                svg.save(shots + QStringLiteral("/picture-%1-svg.png").arg(QString::fromLatin1(sizeName)));
            }
        }
    }

    // The footer line stands at the foot of the picture, under the grid.
    void footerOnThePicture() {
        printtest::CastChart chart("女", "1972", "11", "23", "09:00-11:00");
        QVERIFY(chart.ok);
        const PictureSize size{QSize(1080, 1350)};
        const QImage with =
            ChartPictureImage(SheetOf(chart), QStringLiteral("(著作)星の館     TEL 03-1234-5678"), size);
        const QImage without = ChartPictureImage(SheetOf(chart), QString(), size);
        // Page 5..286 mm fills the height: the footer (276 mm) lies at 96–99 %.
        QVERIFY2(InkIn(with, 0.96, 0.995) > 500 && InkIn(without, 0.96, 0.995) == 0,
                 qPrintable(QStringLiteral("%1 %2").arg(InkIn(with, 0.96, 0.995)).arg(InkIn(without, 0.96, 0.995))));
        QCOMPARE(InkIn(with, 0, 0.95), InkIn(without, 0, 0.95));
    }

    // A chart's conventions line stands between the grid and the footer
    // (272 mm), in the PNG and the SVG; a sheet without one is drawn as
    // before, pixel for pixel.
    void conventionsLineOnThePicture() {
        printtest::CastChart chart("女", "1972", "11", "23", "09:00-11:00");
        QVERIFY(chart.ok);
        const PictureSize size{QSize(1080, 1350)};
        const QString footer = FooterLine(QStringLiteral("星の館"), QStringLiteral("03-1234-5678"));
        ChartSheet sheet = SheetOf(chart);
        const QImage without = ChartPictureImage(sheet, footer, size);
        QVERIFY(!QString::fromUtf8(ChartPictureSvg(sheet, footer, size)).contains(QStringLiteral("紫雲")));
        sheet.conventions = QStringLiteral("紫雲：命宮 節月・年 立春・23時 当日・旧暦 135°E・四化 戊科右弼");
        const QImage with = ChartPictureImage(sheet, footer, size);
        // Page 5..286 mm: 272 mm lies at 95.0 %, the footer (276 mm) from 96.4 %.
        QVERIFY2(InkIn(with, 0.945, 0.962) > InkIn(without, 0.945, 0.962) + 300,
                 qPrintable(QStringLiteral("%1 %2").arg(InkIn(with, 0.945, 0.962)).arg(InkIn(without, 0.945, 0.962))));
        QCOMPARE(InkIn(with, 0, 0.945), InkIn(without, 0, 0.945));
        QCOMPARE(InkIn(with, 0.962, 1), InkIn(without, 0.962, 1));
        QVERIFY(QString::fromUtf8(ChartPictureSvg(sheet, footer, size)).contains(QStringLiteral("紫雲")));
        if (const QString shots = qEnvironmentVariable("ZELVARA_SCREENSHOT_DIR"); !shots.isEmpty())
            with.save(shots + QStringLiteral("/picture-conventions.png"));
    }

    // zelvara-cli chart --png / --svg with --size write the files and name
    // them; a size it cannot make is refused before anything is written.
    void commandLine() {
        const QString png = dir_.filePath(QStringLiteral("出生図.png"));
        const QString svg = dir_.filePath(QStringLiteral("出生図.svg"));
        QProcess cli;
        cli.setProcessChannelMode(QProcess::SeparateChannels);
        const QStringList birth{
            QStringLiteral("chart"),       QStringLiteral("--sex"),      QStringLiteral("女"),
            QStringLiteral("--date"),      QStringLiteral("1972/11/23"), QStringLiteral("--hour"),
            QStringLiteral("09:00-11:00"), QStringLiteral("--home"),     qEnvironmentVariable("ZELVARA_DATA_DIR")};
        cli.start(
            QStringLiteral(ZELVARA_CLI),
            birth + QStringList{QStringLiteral("--png"), png, QStringLiteral("--svg"), svg, QStringLiteral("--size"),
                                QStringLiteral("1080x1350"), QStringLiteral("--title"), QStringLiteral("星の館")});
        QVERIFY(cli.waitForFinished(60000));
        QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
        QCOMPARE(QString::fromUtf8(cli.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
                 (QStringList{png, svg}));
        QCOMPARE(QImageReader(png).size(), QSize(1080, 1350));
        QSvgRenderer rendered(svg);
        QVERIFY(rendered.isValid());
        QCOMPARE(rendered.viewBox(), QRect(0, 0, 1080, 1350));

        QFile::remove(png);
        cli.start(QStringLiteral(ZELVARA_CLI),
                  birth + QStringList{QStringLiteral("--png"), png, QStringLiteral("--size"), QStringLiteral("20x20")});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 2);
        QVERIFY(QString::fromUtf8(cli.readAllStandardError()).contains(QStringLiteral("--size")));
        QVERIFY(!QFile::exists(png));
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    TestChartPicture test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_chart_picture.moc"
