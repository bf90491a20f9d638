// The reading prints: the overall reading (one palace or all twelve), the
// luck reading, the marriage reading with the rules table, and the legends.
#include "common/qstring_utf8.h"
#include "print/pdf_print_module.h"
#include "tests/print/pdf_words.h"

#include <QDir>
#include <QRectF>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvara;
using pdftest::Find;
using pdftest::ReadPdf;

namespace {

const PersonText kPerson{QStringLiteral("山田花子"), QStringLiteral("35才"), QStringLiteral("女命")};

QStringList Lines(const QString& stem, int n) {
    QStringList lines;
    for (int i = 1; i <= n; ++i) lines << stem + QString::number(i);
    return lines;
}

bool At(const pdftest::Word* w, double x, double y) {
    return w && std::abs(w->x - x) < 0.5 && std::abs(w->y - y) < 0.5;
}

QString Where(const pdftest::Word* w) {
    return w ? QStringLiteral("%1 at (%2, %3)").arg(w->text).arg(w->x, 0, 'f', 2).arg(w->y, 0, 'f', 2)
             : QStringLiteral("not found");
}

// The star pictures into folder/bmp, as the program folder holds them.
bool CopyStarPictures(const QString& folder) {
    const QDir data(qEnvironmentVariable("ZELVARA_DATA_DIR"));
    QDir(folder).mkdir(QStringLiteral("bmp"));
    for (int s = 0; s < kMajorStars; ++s) {
        const QString file = QStringLiteral("bmp/") + Q(kStarPictureFiles[s]);
        if (!QFile::copy(data.filePath(file), QDir(folder).filePath(file))) {
            qWarning("cannot copy %s", qPrintable(file));
            return false;
        }
    }
    return true;
}

// The text printed on one line of a page at y, joined as pdftotext splits it.
QString LineAt(const pdftest::Page& page, double y) {
    QStringList words;
    for (const pdftest::Word& w : page)
        if (std::abs(w.y - y) < 0.5) words << w.text;
    return words.join(QLatin1Char(' '));
}

}  // namespace

class TestReadingPrints : public QObject {
    Q_OBJECT
private:
    pdftest::PrintsFolder prints_;
    QString Pdf(const QString& name) const { return prints_.File(name); }

private slots:

    // With every palace: twelve documents from 父母宮 to 福徳宮, each composed
    // just before it is printed.
    void overallReadingOfAllPalaces() {
        PdfPrintModule module;
        QList<int> composed;
        const auto compose = [&](int tab) -> std::optional<OverallReadingPrint> {
            composed << tab;
            return OverallReadingPrint{PalaceTabCaption(tab), kPerson,
                                       Lines(QStringLiteral("宮説明%1-").arg(tab), 3 + tab),
                                       Lines(QStringLiteral("星作用"), 5)};
        };
        const QString path = Pdf(QStringLiteral("overall.pdf"));
        const PrintOutcome out = module.PrintOverallReading(true, 4, compose, PdfOutput{path, 600});
        QVERIFY2(out.Printed(), qPrintable(out.message));
        QCOMPARE(composed, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
        QCOMPARE(out.documents, 12);
        QCOMPARE(out.files.size(), 12);
        for (int tab = 0; tab < 12; ++tab) {
            QCOMPARE(out.files[tab], NumberedPdfPath(path, tab + 1));
            const auto pages = ReadPdf(out.files[tab]);
            QCOMPARE(pages.size(), 1);
            const pdftest::Page& page = pages[0];
            const QString heading = QStringLiteral("【") + PalaceTabCaption(tab) + QStringLiteral("の診断】");
            QVERIFY2(At(Find(page, heading), 20, 15), qPrintable(Where(Find(page, heading))));
            QVERIFY(Find(page, QStringLiteral("山田花子")) && Find(page, QStringLiteral("女命")));
            // hlp12Memo from line 0, two lines skipped, the notice, then KanteiMemo.
            const int lines = 3 + tab;
            QVERIFY(At(Find(page, QStringLiteral("宮説明%1-1").arg(tab)), 20, 30));
            QVERIFY(At(Find(page, QStringLiteral("宮説明%1-%2").arg(tab).arg(lines)), 20, 30 + 5 * (lines - 1)));
            QVERIFY(At(
                Find(page,
                     QStringLiteral("※以下の文章は作用の強い重要な順に並んでいます。後になるほど作用は弱くなります。")),
                20, 30 + 5 * (lines + 2)));
            QVERIFY2(At(Find(page, QStringLiteral("星作用1")), 20, 30 + 5 * (lines + 3)),
                     qPrintable(Where(Find(page, QStringLiteral("星作用1")))));
            QVERIFY(At(Find(page, QStringLiteral("(著作)")), 60, 276));
        }
        QCOMPARE(PalaceTabCaption(0), QStringLiteral("父母宮"));
        QCOMPARE(PalaceTabCaption(1), QStringLiteral("命宮"));
        QCOMPARE(PalaceTabCaption(11), QStringLiteral("福徳宮"));
    }

    // Without PrnCheck the selected palace alone; a composition that stops
    // ends the print after the documents already out.
    void overallReadingOfOnePalaceAndAStop() {
        PdfPrintModule module;
        QList<int> composed;
        const QString one = Pdf(QStringLiteral("one.pdf"));
        const PrintOutcome single = module.PrintOverallReading(
            false, 7,
            [&](int tab) -> std::optional<OverallReadingPrint> {
                composed << tab;
                return OverallReadingPrint{PalaceTabCaption(tab), kPerson, {QStringLiteral("説明")}, {}};
            },
            PdfOutput{one, 600});
        QVERIFY(single.Printed());
        QCOMPARE(composed, QList<int>{7});
        QVERIFY(pdftest::Has(ReadPdf(one).value(0), QStringLiteral("【遷移宮の診断】")));
        QVERIFY(!QFile::exists(NumberedPdfPath(one, 2)));

        const QString stop = Pdf(QStringLiteral("stop.pdf"));
        const PrintOutcome stopped = module.PrintOverallReading(
            true, 0,
            [&](int tab) -> std::optional<OverallReadingPrint> {
                if (tab == 3) return std::nullopt;
                return OverallReadingPrint{PalaceTabCaption(tab), kPerson, {}, {}};
            },
            PdfOutput{stop, 600});
        QCOMPARE(stopped.status, PrintOutcome::Status::Refused);
        QVERIFY(stopped.message.isEmpty());
        QCOMPARE(stopped.documents, 3);
    }

    // A long palace reading turns pages in KanteiMemo; continuation pages
    // have no heading, each page a footer. Long memo lines print as the memo
    // wraps them.
    void overallReadingRunsOver() {
        PdfPrintModule module;
        const QString path = Pdf(QStringLiteral("long.pdf"));
        const QString longLine = QString(50, QChar(0x661F));  // 星 × 50: two displayed lines
        QVERIFY(module
                    .PrintOverallReading(
                        false, 1,
                        [&](int tab) -> std::optional<OverallReadingPrint> {
                            return OverallReadingPrint{
                                PalaceTabCaption(tab), kPerson, {longLine}, Lines(QStringLiteral("作用"), 60)};
                        },
                        PdfOutput{path, 600})
                    .Printed());
        const auto pages = ReadPdf(path);
        QCOMPARE(pages.size(), 2);
        QCOMPARE(LineAt(pages[0], 30), QString(43, QChar(0x661F)));
        QCOMPARE(LineAt(pages[0], 35), QString(7, QChar(0x661F)));
        // 2 lines, 2 skipped, the notice: 作用1 on line 5, 作用41 the last of page 1.
        QVERIFY(At(Find(pages[0], QStringLiteral("作用1")), 20, 55));
        QVERIFY(At(Find(pages[0], QStringLiteral("作用41")), 20, 30 + 5 * 45));
        QVERIFY(At(Find(pages[1], QStringLiteral("作用42")), 20, 30));
        QVERIFY(!Find(pages[1], QStringLiteral("【命宮の診断】")));
        QVERIFY(Find(pages[0], QStringLiteral("(著作)")) && Find(pages[1], QStringLiteral("(著作)")));
    }

    // The rules table stands at its fixed place, texts exactly as listed.
    void marriageRulesTable() {
        PdfPrintModule module;
        const QString path = Pdf(QStringLiteral("marriage.pdf"));
        QVERIFY(module
                    .PrintMarriageReading(kPerson, Lines(QStringLiteral("好き"), 4), Lines(QStringLiteral("補う"), 5),
                                          PdfOutput{path, 600})
                    .Printed());
        const auto pages = ReadPdf(path);
        QCOMPARE(pages.size(), 1);
        const pdftest::Page& page = pages[0];
        QVERIFY(At(Find(page, QStringLiteral("【好きな異性・結婚にふさわしい相手】")), 10, 15));
        QVERIFY(At(Find(page, QStringLiteral("好き1")), 20, 30));
        QVERIFY(At(Find(page, QStringLiteral("補う1")), 20, 30 + 5 * 5));  // one line skipped
        QVERIFY(At(Find(page, QStringLiteral("【秘伝")), 43, 104));
        QVERIFY(At(Find(page, QStringLiteral("命宮の主星")), 11, 111));
        QVERIFY(At(Find(page, QStringLiteral("特徴")), 50, 111));
        QVERIFY(At(Find(page, QStringLiteral("ふさわしい相手の命宮の主星")), 102, 111));
        for (int j = 1; j <= kStars; ++j) {
            const double y = 111 + 7 * j;
            const pdftest::Word* star = Find(page, Q(kStarLongNames[j]));
            QVERIFY2(At(star, 12, y), qPrintable(Where(star)));
            const pdftest::Word* trait = nullptr;
            for (const pdftest::Word& w : page)
                if (std::abs(w.y - y) < 0.5 && std::abs(w.x - 41) < 0.5) trait = &w;
            QVERIFY2(trait && trait->text == Q(kStarKeywordLines[j]), qPrintable(Where(trait)));
            // The partner text as printed, blanks (ordinary or full-width) aside.
            QString partner = LineAt(page, y).section(QLatin1Char(' '), 2);
            QString expected = Q(kStarPartnerLines[j]);
            expected.replace(QChar(0x3000), QLatin1Char(' '));
            QCOMPARE(partner.simplified(), expected.simplified());
        }
        QCOMPARE(Q(kStarPartnerLines[1]), QStringLiteral("◎天相星・天府星 △武曲星・七殺星"));
        QCOMPARE(Q(kStarPartnerLines[4]), QStringLiteral("◎天府星・天相星・文昌星　△貪狼星"));
        QCOMPARE(Q(kStarPartnerLines[3]), QStringLiteral("◎太陰星・紫薇星・天同星・天相星　"));
        // 22 rules across and 4 down.
        const QImage raster = pdftest::Raster(path, 1, 300);
        const auto dark = [&](double xMm, double yMm) {
            return qGray(raster.pixel(int(xMm * 12), int(yMm * 12))) < 128;
        };
        for (int j = 1; j <= 22; ++j)
            QVERIFY2(dark(170, 110 + 7 * (j - 1)) || dark(170, 110 + 7 * (j - 1) + 1.0 / 12),
                     qPrintable(QStringLiteral("rule %1").arg(j)));
        QVERIFY(!dark(170, 110 + 7 * 21 + 3));
        for (int x : {10, 35, 87, 180})
            QVERIFY2(dark(x, 200) || dark(x + 1.0 / 12, 200), qPrintable(QStringLiteral("rule at %1").arg(x)));
    }

    // A text that would run into the table (below line 14) puts the table on
    // a page of its own; one that ends on line 14 keeps it on the page.
    void marriageTableNeverOverprinted_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<int>("tablePage");
        QTest::newRow("ends on line 14") << 8 << 6 << 1;  // 8 + 1 skipped + 6 = 15 lines: 0..14
        QTest::newRow("ends on line 15") << 8 << 7 << 2;
        QTest::newRow("second page ends high") << 10 << 40 << 2;  // 10 + 1 + 40 → page 2 to line 4
    }
    void marriageTableNeverOverprinted() {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(int, tablePage);
        PdfPrintModule module;
        const QString path = Pdf(QStringLiteral("marriage-%1-%2.pdf").arg(first).arg(second));
        QVERIFY(module
                    .PrintMarriageReading(kPerson, Lines(QStringLiteral("好き"), first),
                                          Lines(QStringLiteral("補う"), second), PdfOutput{path, 600})
                    .Printed());
        const auto pages = ReadPdf(path);
        QCOMPARE(pages.size(), tablePage);
        QVERIFY(At(Find(pages[tablePage - 1], QStringLiteral("【秘伝")), 43, 104));
        for (const pdftest::Page& page : pages) {
            QVERIFY(Find(page, QStringLiteral("(著作)")));
            for (const pdftest::Word& w : page)
                if (w.text.startsWith(QStringLiteral("補う")) || w.text.startsWith(QStringLiteral("好き")))
                    QVERIFY2(&page != &pages[tablePage - 1] || w.bottom < 104, qPrintable(Where(&w)));
        }
    }

    // Seven pages of two stars each, pictures from the program folder.
    void legends() {
        QTemporaryDir home;
        QVERIFY(CopyStarPictures(home.path()));
        std::array<QString, kMajorStars + 1> texts;
        for (int s = 1; s <= kMajorStars; ++s)
            texts[s] = QStringLiteral("説明%1\n").arg(s) + QString(60, QChar(0x661F));
        texts[14].clear();  // an empty description prints no lines
        PdfPrintModule module;
        const QString path = Pdf(QStringLiteral("legends.pdf"));
        const PrintOutcome out = module.PrintLegends(home.path(), texts, PdfOutput{path, 600});
        QVERIFY2(out.Printed(), qPrintable(out.message));
        const auto pages = ReadPdf(path);
        QCOMPARE(pages.size(), 7);
        for (int p = 1; p <= 7; ++p) {
            const pdftest::Page& page = pages[p - 1];
            QVERIFY(At(Find(page, QStringLiteral("【Orvandel（紫薇伝説）による星の解説】")), 50, 15));
            QVERIFY2(At(Find(page, Q(kStarLongNames[2 * p - 1])), 90, 40),
                     qPrintable(Where(Find(page, Q(kStarLongNames[2 * p - 1])))));
            QVERIFY(At(Find(page, Q(kStarLongNames[2 * p])), 90, 160));
            QVERIFY(At(Find(page, QStringLiteral("説明%1").arg(2 * p - 1)), 20, 95));
            QCOMPARE(LineAt(page, 100), QString(50, QChar(0x661F)));  // wrapped at 50 full-width
            QCOMPARE(LineAt(page, 105), QString(10, QChar(0x661F)));
            if (p < 7)
                QVERIFY(At(Find(page, QStringLiteral("説明%1").arg(2 * p)), 20, 215));
            else
                QVERIFY(LineAt(page, 215).isEmpty());
            QVERIFY(At(Find(page, QStringLiteral("(著作)")), 60, 276));
        }
        // The picture fills its 40 × 60 mm frame.
        const QImage raster = pdftest::Raster(path, 1, 100);
        int inked = 0;
        for (int y = 30 * 4; y < 90 * 4; y += 8)
            for (int x = 30 * 4; x < 70 * 4; x += 8) inked += qGray(raster.pixel(x, y)) < 250;
        QVERIFY2(inked > 100, qPrintable(QString::number(inked)));

        // A missing picture stops the print before it starts, naming the file.
        QFile::remove(home.filePath(QStringLiteral("bmp/tenso.bmp")));
        const QString broken = Pdf(QStringLiteral("legends-broken.pdf"));
        const PrintOutcome missing = module.PrintLegends(home.path(), texts, PdfOutput{broken, 600});
        QCOMPARE(missing.status, PrintOutcome::Status::Refused);
        QVERIFY2(missing.message.contains(QStringLiteral("tenso.bmp")), qPrintable(missing.message));
        QVERIFY(!QFile::exists(broken));
    }

    // A description longer than its place runs on to the next page, and the
    // next star starts a page of its own: no text overlaps another text or a
    // picture, all stays above the footer, and every line is printed once,
    // in order.
    void longLegendRunsOn_data() {
        QTest::addColumn<int>("star");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("pages");
        QTest::newRow("upper fills its place") << 1 << 11 << 7;
        QTest::newRow("upper one line more") << 1 << 12 << 8;
        QTest::newRow("upper over three pages") << 1 << 120 << 10;
        QTest::newRow("lower runs on") << 2 << 60 << 8;
        QTest::newRow("last star runs on") << 14 << 20 << 8;
    }
    void longLegendRunsOn() {
        QFETCH(int, star);
        QFETCH(int, lines);
        QFETCH(int, pages);
        QTemporaryDir home;
        QVERIFY(CopyStarPictures(home.path()));
        std::array<QString, kMajorStars + 1> texts;
        for (int s = 1; s <= kMajorStars; ++s) texts[s] = QStringLiteral("説明%1").arg(s);
        QStringList longText;
        for (int i = 1; i <= lines; ++i)
            longText << QStringLiteral("長文%1行目").arg(i, 3, 10, QLatin1Char('0')) + QString(40, QChar(0x661F));
        texts[star] = longText.join(QLatin1Char('\n'));
        PdfPrintModule module;
        const QString path = Pdf(QStringLiteral("legends-long-%1-%2.pdf").arg(star).arg(lines));
        const PrintOutcome out = module.PrintLegends(home.path(), texts, PdfOutput{path, 600});
        QVERIFY2(out.Printed(), qPrintable(out.message));
        const auto read = ReadPdf(path);
        QCOMPARE(read.size(), pages);

        QStringList printed;  // the long text's lines in reading order
        QStringList names;
        for (int p = 0; p < read.size(); ++p) {
            const pdftest::Page& page = read[p];
            const pdftest::Word* footer = Find(page, QStringLiteral("(著作)"));
            QVERIFY2(At(footer, 60, 276),
                     qPrintable(QStringLiteral("page %1: footer %2").arg(p + 1).arg(Where(footer))));
            QVERIFY(At(Find(page, QStringLiteral("【Orvandel（紫薇伝説）による星の解説】")), 50, 15));
            // Each star name stands 10 mm below the top of its 40 × 60 mm picture at 30 mm.
            QList<QRectF> pictures;
            for (const pdftest::Word& w : page) {
                for (int s = 1; s <= kMajorStars; ++s) {
                    if (w.text == Q(kStarLongNames[s])) {
                        names << w.text;
                        pictures << QRectF(30, w.y - 10, 40, 60);
                    }
                }
            }
            for (int i = 0; i < page.size(); ++i) {
                const pdftest::Word& w = page[i];
                const QRectF box(w.x, w.y, w.right - w.x, w.bottom - w.y);
                if (w.y < 275)
                    QVERIFY2(w.bottom < 276,
                             qPrintable(QStringLiteral("page %1: %2 runs into the footer").arg(p + 1).arg(Where(&w))));
                for (const QRectF& picture : pictures)
                    QVERIFY2(!box.intersects(picture),
                             qPrintable(QStringLiteral("page %1: %2 on a picture").arg(p + 1).arg(Where(&w))));
                for (int j = i + 1; j < page.size(); ++j) {
                    const pdftest::Word& v = page[j];
                    QVERIFY2(
                        !box.adjusted(0.05, 0.05, -0.05, -0.05)
                             .intersects(QRectF(v.x, v.y, v.right - v.x, v.bottom - v.y)),
                        qPrintable(QStringLiteral("page %1: %2 overlaps %3").arg(p + 1).arg(Where(&w), Where(&v))));
                }
                if (w.text.startsWith(QStringLiteral("長文"))) printed << w.text;
            }
        }
        QCOMPARE(printed, longText);
        QStringList allNames;
        for (int s = 1; s <= kMajorStars; ++s) allNames << Q(kStarLongNames[s]);
        QCOMPARE(names, allNames);
    }
};

QTEST_MAIN(TestReadingPrints)
#include "tst_reading_prints.moc"
