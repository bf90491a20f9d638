// The print frame: the whole-dot millimetre grid, the footer, the line grid
// of the listings with its page breaks, where documents go, the cursor, and
// the memo lines the listings print.
#include "print/memo_lines.h"
#include "print/pdf_file.h"
#include "print/picture_print.h"
#include "print/print_module.h"
#include "tests/print/file_size_limit.h"
#include "tests/print/pdf_words.h"

#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace zelvara;
using pdftest::Find;
using pdftest::ReadPdf;

namespace {

QStringList Numbered(int n) {
    QStringList lines;
    for (int i = 1; i <= n; ++i) lines << QStringLiteral("行%1").arg(i);
    return lines;
}

const PersonText kPerson{QStringLiteral("山田花子"), QStringLiteral("35才"), QStringLiteral("女命")};

}  // namespace

class TestPrintFrame : public QObject {
    Q_OBJECT
private:
    pdftest::PrintsFolder prints_;
    QString Pdf(const QString& name) const { return prints_.File(name); }

private slots:
    void dotsPerMillimetre_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("dpm");
        QTest::newRow("300 dpi") << 300 << 12;
        QTest::newRow("360 dpi") << 360 << 14;
        QTest::newRow("600 dpi") << 600 << 24;
        QTest::newRow("1200 dpi") << 1200 << 47;
    }
    void dotsPerMillimetre() {
        QFETCH(int, dpi);
        QFETCH(int, dpm);
        const MillimetreTable table(dpi);
        QCOMPARE(table.DotsPerMm(), dpm);
        QCOMPARE(table[1], dpm);
        QCOMPARE(table[60], 60 * dpm);
        QCOMPARE(table[276], 276 * dpm);
        QCOMPARE(table[285], 285 * dpm);
    }

    // The footer stands on the whole-dot grid: at 600 dpi 1440 dots across
    // and 6624 down, whatever the true millimetre would be.
    void footerOnTheWholeDotGrid_data() {
        QTest::addColumn<int>("dpi");
        QTest::newRow("300") << 300;
        QTest::newRow("600") << 600;
        QTest::newRow("1200") << 1200;
    }
    void footerOnTheWholeDotGrid() {
        QFETCH(int, dpi);
        Tprintmodule module;
        module.SetFooter(QStringLiteral("紫微鑑定所"), QStringLiteral("03-1234-5678"));
        const QString path = Pdf(QStringLiteral("footer%1.pdf").arg(dpi));
        const PrintOutcome out = module.PrintLuckReading(kPerson, Numbered(3), PdfOutput{path, dpi});
        QVERIFY2(out.Printed(), qPrintable(out.message));
        const auto pages = ReadPdf(path, dpi);
        QCOMPARE(pages.size(), 1);
        const pdftest::Word* mark = Find(pages[0], QStringLiteral("(著作)紫微鑑定所"));
        QVERIFY2(mark, qPrintable(pdftest::PageText(pages[0])));
        QVERIFY2(std::abs(mark->x - 60) < 0.5 && std::abs(mark->y - 276) < 0.5,
                 qPrintable(QStringLiteral("footer at (%1, %2)").arg(mark->x).arg(mark->y)));
        // On paper that is 60 × 24 / 600 inch at 600 dpi (60.96 mm), 60 × 47 /
        // 1200 inch at 1200 dpi (59.69 mm).
        const double paperMm = mark->x / pdftest::GridMmPerPoint(dpi) / 72 * 25.4;
        const double expected = 60.0 * MillimetreTable(dpi).DotsPerMm() / dpi * 25.4;
        QVERIFY2(std::abs(paperMm - expected) < 0.05, qPrintable(QStringLiteral("%1 mm on paper").arg(paperMm)));
        const pdftest::Word* tel = Find(pages[0], QStringLiteral("03-1234-5678"));
        QVERIFY(tel && Find(pages[0], QStringLiteral("TEL")));
        QVERIFY(std::abs(tel->y - 276) < 0.5);
    }

    // Empty title and telephone: the mark, five blanks, "TEL", one blank.
    void footerWithEmptyOwnerData() {
        Tprintmodule module;
        const QString path = Pdf(QStringLiteral("empty-footer.pdf"));
        QVERIFY(module.PrintLuckReading(kPerson, {}, PdfOutput{path, 600}).Printed());
        QCOMPARE(module.Footer(), QStringLiteral("(著作)     TEL "));
        const auto pages = ReadPdf(path);
        const pdftest::Word* mark = Find(pages[0], QStringLiteral("(著作)"));
        const pdftest::Word* tel = Find(pages[0], QStringLiteral("TEL"));
        QVERIFY(mark && tel);
        // "(著作)" is six half-width columns, then five blanks: 11 columns of
        // 10 point (half of 10/72 inch each) to the T.
        const double column = 10.0 / 72 / 2 * 600 / 24;  // grid mm
        QVERIFY2(std::abs(tel->x - (60 + 11 * column)) < 0.3, qPrintable(QString::number(tel->x)));
    }

    // Line n at 30 + 5n mm from 20 mm; 46 lines a page, then the footer and
    // a new page. Exactly 46 lines leave a page that holds only the footer.
    void listingPages_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("linesOnLastPage");
        QTest::newRow("45") << 45 << 1 << 45;
        QTest::newRow("46") << 46 << 2 << 0;
        QTest::newRow("47") << 47 << 2 << 1;
        QTest::newRow("92") << 92 << 3 << 0;
        QTest::newRow("100") << 100 << 3 << 8;
    }
    void listingPages() {
        QFETCH(int, lines);
        QFETCH(int, pages);
        QFETCH(int, linesOnLastPage);
        Tprintmodule module;
        const QString path = Pdf(QStringLiteral("listing%1.pdf").arg(lines));
        QVERIFY(module.PrintLuckReading(kPerson, Numbered(lines), PdfOutput{path, 600}).Printed());
        const auto read = ReadPdf(path);
        QCOMPARE(read.size(), pages);
        for (int p = 0; p < pages; ++p) {
            const int first = p * 46;
            const int count = p == pages - 1 ? linesOnLastPage : 46;
            int found = 0;
            for (const pdftest::Word& w : read[p]) {
                if (!w.text.startsWith(QStringLiteral("行")) || w.text.startsWith(QStringLiteral("行運"))) continue;
                const int i = w.text.mid(1).toInt() - 1;
                const int n = i - first;
                QVERIFY2(n >= 0 && n < 46, qPrintable(w.text));
                QVERIFY2(std::abs(w.x - 20) < 0.5 && std::abs(w.y - (30 + 5 * n)) < 0.5,
                         qPrintable(QStringLiteral("%1 at (%2, %3)").arg(w.text).arg(w.x).arg(w.y)));
                ++found;
            }
            QCOMPARE(found, count);
            QVERIFY2(Find(read[p], QStringLiteral("(著作)")),
                     qPrintable(QStringLiteral("footer on page %1").arg(p + 1)));
        }
        // Only the first page has the heading.
        QVERIFY(Find(read[0], QStringLiteral("【行運の診断】")));
        for (int p = 1; p < pages; ++p) QVERIFY(!Find(read[p], QStringLiteral("【行運の診断】")));
    }

    // The picture printouts draw in the common frame: a printer too coarse for
    // the millimetre grid refuses them (instead of drawing every line at one
    // point and saying it printed), and the matrix page carries the frame's
    // footer at (60, 276) like every other printout.
    void picturePrintsUseTheFrame() {
        {
            QPdfWriter coarse(prints_.File(QStringLiteral("coarse.pdf")));
            coarse.setResolution(10);
            QVERIFY(!PrintStarMatrix(coarse, FooterLine(QStringLiteral("紫微鑑定所"), QStringLiteral("03-1234-5678"))));
        }
        {
            QPdfWriter coarse(prints_.File(QStringLiteral("coarse-picture.pdf")));
            coarse.setResolution(10);
            QVERIFY(!PrintOrganisationPicture(coarse, QImage()));
        }
        const QString path = prints_.File(QStringLiteral("matrix.pdf"));
        {
            QPdfWriter pdf(path);
            pdf.setResolution(600);
            pdf.setPageSize(QPageSize(QPageSize::A4));
            pdf.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
            QVERIFY(PrintStarMatrix(pdf, FooterLine(QStringLiteral("紫微鑑定所"), QStringLiteral("03-1234-5678"))));
        }
        const auto pages = ReadPdf(path);
        QCOMPARE(pages.size(), 1);
        const pdftest::Word* mark = Find(pages[0], QStringLiteral("(著作)紫微鑑定所"));
        QVERIFY2(mark, qPrintable(pdftest::PageText(pages[0])));
        QVERIFY2(std::abs(mark->x - 60) < 0.5 && std::abs(mark->y - 276) < 0.5,
                 qPrintable(QStringLiteral("footer at (%1, %2)").arg(mark->x).arg(mark->y)));
        QVERIFY(Find(pages[0], QStringLiteral("紫薇星")));
    }

    void numberedFiles() {
        QCOMPARE(NumberedPdfPath(QStringLiteral("/t/a.pdf"), 1), QStringLiteral("/t/a.pdf"));
        QCOMPARE(NumberedPdfPath(QStringLiteral("/t/a.pdf"), 2), QStringLiteral("/t/a-2.pdf"));
        QCOMPARE(NumberedPdfPath(QStringLiteral("/t/a.b.pdf"), 12), QStringLiteral("/t/a.b-12.pdf"));
        QCOMPARE(NumberedPdfPath(QStringLiteral("/t/a"), 3), QStringLiteral("/t/a-3.pdf"));
        // The file a print is offered under carries the client's name, with
        // what a file name cannot hold made "_".
        QCOMPARE(ClientFileName(QStringLiteral("出生図"), QStringLiteral("山田花子"), QStringLiteral("pdf")),
                 QStringLiteral("出生図_山田花子.pdf"));
        QCOMPARE(ClientFileName(QStringLiteral("飛星表"), QStringLiteral(" 山田 花子 "), QStringLiteral("pdf")),
                 QStringLiteral("飛星表_山田 花子.pdf"));
        QCOMPARE(ClientFileName(QStringLiteral("出生図"), QStringLiteral("a/b\\c:d*e?f\"g<h>i|j\tk."),
                                QStringLiteral("png")),
                 QStringLiteral("出生図_a_b_c_d_e_f_g_h_i_j_k.png"));
        QCOMPARE(ClientFileName(QStringLiteral("出生図"), QString(), QStringLiteral("pdf")),
                 QStringLiteral("出生図.pdf"));
        QCOMPARE(ClientFileName(QStringLiteral("出生図"), QStringLiteral(" ."), QStringLiteral("pdf")),
                 QStringLiteral("出生図.pdf"));
    }

    // The hourglass goes away on every path, also when the file cannot be
    // written; the failure says which file.
    void cursorComesBackAndFailuresSaySo() {
        Tprintmodule module;
        const QString bad = Pdf(QStringLiteral("no/such/folder/x.pdf"));
        const PrintOutcome failed = module.PrintLuckReading(kPerson, Numbered(2), PdfOutput{bad, 600});
        QCOMPARE(failed.status, PrintOutcome::Status::Failed);
        QVERIFY2(failed.message.contains(bad), qPrintable(failed.message));
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(module.PrintLuckReading(kPerson, Numbered(2), PdfOutput{Pdf(QStringLiteral("c.pdf")), 600}).Printed());
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // Without a printer the print asks for a PDF file; a cancel prints
    // nothing, and with no one to ask the print says there is no printer.
    void noPrinterOffersAPdfFile() {
        Tprintmodule module;
        if (module.HasPrinter()) QSKIP("a printer is installed here");
        QString askedFor;
        const QString path = Pdf(QStringLiteral("fallback.pdf"));
        module.SetPdfChooser([&](const QString& doc) {
            askedFor = doc;
            return path;
        });
        const PrintOutcome out = module.PrintLuckReading(kPerson, Numbered(2));
        QVERIFY2(out.Printed(), qPrintable(out.message));
        QCOMPARE(askedFor, QStringLiteral("行運の診断"));
        QCOMPARE(out.files, QStringList{path});
        QVERIFY(QFile::exists(path));

        module.SetPdfChooser([](const QString&) { return QString(); });
        QCOMPARE(module.PrintLuckReading(kPerson, Numbered(2)).status, PrintOutcome::Status::Cancelled);
        module.SetPdfChooser({});
        const PrintOutcome none = module.PrintLuckReading(kPerson, Numbered(2));
        QCOMPARE(none.status, PrintOutcome::Status::Failed);
        QVERIFY(!none.message.isEmpty());
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // A document the caller lays out goes where the other prints go; a drawing
    // that fails is reported by name, and the cursor comes back either way.
    void callerDrawnDocument() {
        Tprintmodule module;
        const QString path = Pdf(QStringLiteral("drawing.pdf"));
        int drawnAt = 0;
        const PrintOutcome out = module.PrintDrawing(
            QStringLiteral("星のマトリックス図"),
            [&](QPagedPaintDevice& device) {
                drawnAt = device.logicalDpiY();
                QPainter p;
                return p.begin(&device) && p.end();
            },
            PdfOutput{path, 300});
        QVERIFY2(out.Printed(), qPrintable(out.message));
        QCOMPARE(drawnAt, 300);
        QCOMPARE(out.files, QStringList{path});
        QVERIFY(QFileInfo(path).size() > 0);

        const QString failedPath = Pdf(QStringLiteral("failed.pdf"));
        const PrintOutcome failed = module.PrintDrawing(
            QStringLiteral("殷国組織図"), [](QPagedPaintDevice&) { return false; }, PdfOutput{failedPath, 300});
        QCOMPARE(failed.status, PrintOutcome::Status::Failed);
        QVERIFY2(failed.message.contains(QStringLiteral("殷国組織図")), qPrintable(failed.message));
        QCOMPARE(failed.documents, 0);
        QVERIFY(!QFile::exists(failedPath));
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // A PDF file that cannot be written whole (the disk fills up) is a failed
    // print that names the file, and the older file of that name stays byte
    // for byte, with no temporary file left beside it: for the module's own
    // documents and for the pages the picture windows lay out alike.
    void failedWriteKeepsTheOlderFile_data() {
        QTest::addColumn<bool>("drawing");
        QTest::addColumn<int>("lines");
        QTest::newRow("listing") << false << 200;
        QTest::newRow("listing that fails only at the end") << false << 1;
        QTest::newRow("caller-drawn page") << true << 0;
    }
    void failedWriteKeepsTheOlderFile() {
        QFETCH(bool, drawing);
        QFETCH(int, lines);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("full.pdf"));
        QVERIFY(pdftest::WriteOlderFile(path));
        Tprintmodule module;
        PrintOutcome out;
        {
            const pdftest::FileSizeLimit full(4096);
            QVERIFY(full.IsSet());
            if (drawing) {
                out = module.PrintDrawing(
                    QStringLiteral("星のマトリックス図"),
                    [](QPagedPaintDevice& device) {
                        QPainter p;
                        if (!p.begin(&device)) return false;
                        p.drawText(QPoint(500, 500), QStringLiteral("天機星 七殺星 貪狼星"));
                        return p.end();
                    },
                    PdfOutput{path, 600});
            } else {
                out = module.PrintLuckReading(kPerson, Numbered(lines), PdfOutput{path, 600});
            }
        }
        QCOMPARE(out.status, PrintOutcome::Status::Failed);
        QVERIFY2(out.message.contains(path), qPrintable(out.message));
        QCOMPARE(out.documents, 0);
        QVERIFY(out.files.isEmpty());
        QCOMPARE(pdftest::FileBytes(path), pdftest::OlderFileBytes());
        QCOMPARE(pdftest::FilesIn(folder.path()), QStringList{QStringLiteral("full.pdf")});
        QVERIFY(!QGuiApplication::overrideCursor());

        // With room again the same print replaces the older file.
        const PrintOutcome again = module.PrintLuckReading(kPerson, Numbered(2), PdfOutput{path, 600});
        QVERIFY2(again.Printed(), qPrintable(again.message));
        QVERIFY(pdftest::Has(ReadPdf(path).value(0), QStringLiteral("【行運の診断】")));
    }

    // The module without a printer (the command line's) lays out the same
    // page as the printer module prints to a PDF file: A4 on the whole-dot
    // grid from the paper's corner, at the file's resolution, and every word
    // of a document in the same place.
    void samePageWithoutThePrinter_data() {
        QTest::addColumn<int>("dpi");
        QTest::newRow("300") << 300;
        QTest::newRow("600") << 600;
        QTest::newRow("1200") << 1200;
    }
    void samePageWithoutThePrinter() {
        QFETCH(int, dpi);
        struct Page {
            QSize dots, mm;
            int dpiX = 0, dpiY = 0;
            QRectF paper, margins;
            QPageLayout::Orientation orientation = QPageLayout::Landscape;
            QPageSize::PageSizeId size = QPageSize::Custom;
        };
        const auto pageOf = [&](PdfPrintModule& module, const QString& name) {
            Page page;
            const PrintOutcome out = module.PrintDrawing(
                QStringLiteral("星のマトリックス図"),
                [&](QPagedPaintDevice& device) {
                    const QPageLayout layout = device.pageLayout();
                    page = Page{QSize(device.width(), device.height()),
                                QSize(device.widthMM(), device.heightMM()),
                                device.logicalDpiX(),
                                device.logicalDpiY(),
                                layout.fullRectPoints(),
                                QRectF(layout.marginsPoints().left(), layout.marginsPoints().top(),
                                       layout.marginsPoints().right(), layout.marginsPoints().bottom()),
                                layout.orientation(),
                                layout.pageSize().id()};
                    QPainter p;
                    return p.begin(&device) && p.end();
                },
                PdfOutput{Pdf(name), dpi});
            return out.Printed() ? std::optional<Page>(page) : std::nullopt;
        };
        Tprintmodule printer;
        PdfPrintModule pdfOnly;
        const std::optional<Page> a = pageOf(printer, QStringLiteral("printer-page%1.pdf").arg(dpi));
        const std::optional<Page> b = pageOf(pdfOnly, QStringLiteral("pdf-page%1.pdf").arg(dpi));
        QVERIFY(a && b);
        QCOMPARE(b->size, QPageSize::A4);
        QCOMPARE(b->orientation, QPageLayout::Portrait);
        QCOMPARE(b->margins, QRectF(0, 0, 0, 0));
        QCOMPARE(b->dpiY, dpi);
        QCOMPARE(b->size, a->size);
        QCOMPARE(b->orientation, a->orientation);
        QCOMPARE(b->paper, a->paper);
        QCOMPARE(b->margins, a->margins);
        QCOMPARE(b->dots, a->dots);
        QCOMPARE(b->mm, a->mm);
        QCOMPARE(b->dpiX, a->dpiX);
        QCOMPARE(b->dpiY, a->dpiY);

        printer.SetFooter(QStringLiteral("紫微鑑定所"), QStringLiteral("03-1234-5678"));
        pdfOnly.SetFooter(QStringLiteral("紫微鑑定所"), QStringLiteral("03-1234-5678"));
        const QString withPrinter = Pdf(QStringLiteral("printer-listing%1.pdf").arg(dpi));
        const QString without = Pdf(QStringLiteral("pdf-listing%1.pdf").arg(dpi));
        QVERIFY(printer.PrintLuckReading(kPerson, Numbered(50), PdfOutput{withPrinter, dpi}).Printed());
        QVERIFY(pdfOnly.PrintLuckReading(kPerson, Numbered(50), PdfOutput{without, dpi}).Printed());
        const auto expected = ReadPdf(withPrinter, dpi);
        const auto read = ReadPdf(without, dpi);
        QCOMPARE(read.size(), 2);
        QCOMPARE(read.size(), expected.size());
        for (int p = 0; p < read.size(); ++p) {
            QCOMPARE(read[p].size(), expected[p].size());
            for (int w = 0; w < read[p].size(); ++w) {
                QCOMPARE(read[p][w].text, expected[p][w].text);
                QCOMPARE(read[p][w].x, expected[p][w].x);
                QCOMPARE(read[p][w].y, expected[p][w].y);
                QCOMPARE(read[p][w].right, expected[p][w].right);
                QCOMPARE(read[p][w].bottom, expected[p][w].bottom);
            }
        }
    }

    void memoLines_data() {
        QTest::addColumn<QStringList>("memo");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QStringList>("displayed");
        const QString fortyThree = QString(43, QChar(0x3042));  // あ × 43
        QTest::newRow("43 full-width fit") << QStringList{fortyThree} << 86 << QStringList{fortyThree};
        QTest::newRow("44th wraps") << QStringList{fortyThree + QStringLiteral("い")} << 86
                                    << QStringList{fortyThree, QStringLiteral("い")};
        QTest::newRow("closing mark stays") << QStringList{fortyThree + QStringLiteral("。い")} << 86
                                            << QStringList{fortyThree + QStringLiteral("。"), QStringLiteral("い")};
        QTest::newRow("empty line kept") << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")} << 86
                                         << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")};
        QTest::newRow("half-width word moves whole")
            << QStringList{QString(84, QLatin1Char('=')) + QStringLiteral(" Zelvara")} << 86
            << QStringList{QString(84, QLatin1Char('=')) + QStringLiteral(" "), QStringLiteral("Zelvara")};
        QTest::newRow("overlong word is cut")
            << QStringList{QString(10, QLatin1Char('x'))} << 4
            << QStringList{QStringLiteral("xxxx"), QStringLiteral("xxxx"), QStringLiteral("xx")};
        QTest::newRow("legends width") << QStringList{QString(51, QChar(0x3042))} << 100
                                       << QStringList{QString(50, QChar(0x3042)), QString(1, QChar(0x3042))};
    }
    void memoLines() {
        QFETCH(QStringList, memo);
        QFETCH(int, columns);
        QFETCH(QStringList, displayed);
        QCOMPARE(DisplayedLines(memo, columns), displayed);
    }
};

QTEST_MAIN(TestPrintFrame)
#include "tst_print_frame.moc"
