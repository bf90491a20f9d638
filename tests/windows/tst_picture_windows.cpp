// The star matrix and organisation windows, and their printouts checked on
// PDF pages with pdftotext.
#include "print/matrix_layout.h"
#include "print/picture_print.h"
#include "print/print_document.h"
#include "tests/windows/window_support.h"
#include "windows/picture_windows.h"

#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using namespace zelvara;

namespace {

// Prints to a PDF file whose printable area is the whole A4 page.
PrintRunner ToPdf(const QString& path) {
    return [path](QWidget*, const QString& document, const PageDrawer& draw) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(document);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        QVERIFY(draw(printer));
    };
}

struct Word {
    QString text;
    double xMm, yMm;  // top-left of its box
};

// Words of a PDF with their boxes (pdftotext -bbox), in millimetres.
QList<Word> PdfWords(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"[\\d.]+\" yMax=\"[\\d.]+\">([^<]*)</word>"));
    QList<Word> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.append({m.captured(3), m.captured(1).toDouble() * 25.4 / 72, m.captured(2).toDouble() * 25.4 / 72});
    }
    return words;
}

}  // namespace

class TestPictureWindows : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> home_;

    template <typename T>
    static T* Child(QWidget& w, const char* name) {
        T* c = w.findChild<T*>(QString::fromLatin1(name));
        if (!c) qWarning("no control %s", name);
        return c;
    }

private slots:
    void initTestCase() { UsePrintFont(); }
    void init() { home_ = FreshProgramFolder(); }

    void dotsPerMillimetre_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("dpm");
        QTest::newRow("600 dpi") << 600 << 24;
        QTest::newRow("300 dpi rounds up") << 300 << 12;
        QTest::newRow("1200 dpi") << 1200 << 47;
        QTest::newRow("72 dpi") << 72 << 3;
    }
    void dotsPerMillimetre() {
        QFETCH(int, dpi);
        QFETCH(int, dpm);
        QCOMPARE(DotsPerMillimetre(dpi), dpm);
    }

    // The matrix window is made once; closing hides it and it shows again.
    void starMatrixWindow() {
        Tmatorixfrm w;
        QCOMPARE(w.windowTitle(), QStringLiteral("主要な星のマトリックス図"));
        QCOMPARE(w.Picture().size(), QSize(matrix::kPictureWidth, matrix::kPictureHeight));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
        w.show();
        QTest::mouseClick(Child<QPushButton>(w, "closebtn"), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        w.show();
        QVERIFY(w.isVisible());
        QVERIFY(Child<QPushButton>(w, "prnbtn")->isEnabled());
    }

    void organisationWindows_data() {
        QTest::addColumn<bool>("inner");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("file");
        QTest::newRow("殷") << true << "殷国の組織図"
                            << "inkoku.bmp";
        QTest::newRow("周") << false << "周国組織図"
                            << "syukoku.bmp";
    }
    void organisationWindows() {
        QFETCH(bool, inner);
        QFETCH(QString, caption);
        QFETCH(QString, file);
        const QImage shipped(home_->filePath(QStringLiteral("bmp/") + file));
        QVERIFY(!shipped.isNull());
        std::unique_ptr<OrganisationWindow> w;
        if (inner)
            w = std::make_unique<Tsosikiin>(DataFolders::Portable(home_->path()));
        else
            w = std::make_unique<Tsosikisyu>(DataFolders::Portable(home_->path()));
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        QCOMPARE(w->windowTitle(), caption);
        QCOMPARE(w->Picture().size(), shipped.size());
        QCOMPARE(w->width(), shipped.width());
        QCOMPARE(w->palette().color(QPalette::Window), QColor(Qt::white));
        // Without the file the window still opens and says what is missing.
        QVERIFY(QFile::remove(home_->filePath(QStringLiteral("bmp/") + file)));
        std::unique_ptr<OrganisationWindow> bare;
        if (inner)
            bare = std::make_unique<Tsosikiin>(DataFolders::Portable(home_->path()));
        else
            bare = std::make_unique<Tsosikisyu>(DataFolders::Portable(home_->path()));
        bare->setAttribute(Qt::WA_DeleteOnClose, false);
        bare->show();
        QVERIFY(bare->Picture().isNull());
        QVERIFY2(Child<QLabel>(*bare, "Image1")->text().contains(file),
                 qPrintable(Child<QLabel>(*bare, "Image1")->text()));
        QVERIFY(!Child<QPushButton>(*bare, "prnbtn")->isEnabled());
    }

    // Installed layout: a picture the user put in the data folder is shown
    // instead of the shipped one; without it the shipped one is, and with
    // neither the message names the shipped file.
    void organisationPictureFromUserFolder_data() {
        QTest::addColumn<bool>("userCopy");
        QTest::addColumn<bool>("shippedCopy");
        QTest::addColumn<QString>("shown");  // "user", "shipped" or "missing"
        QTest::newRow("user's copy wins") << true << true << "user";
        QTest::newRow("only the user's") << true << false << "user";
        QTest::newRow("falls back to shipped") << false << true << "shipped";
        QTest::newRow("neither") << false << false << "missing";
    }
    void organisationPictureFromUserFolder() {
        QFETCH(bool, userCopy);
        QFETCH(bool, shippedCopy);
        QFETCH(QString, shown);
        const QString shippedFile = home_->filePath(QStringLiteral("bmp/syukoku.bmp"));
        const QSize shippedSize = QImage(shippedFile).size();
        QVERIFY(!shippedSize.isEmpty());
        if (!shippedCopy) QVERIFY(QFile::remove(shippedFile));
        QTemporaryDir user;
        QImage own(40, 30, QImage::Format_RGB32);
        own.fill(Qt::red);
        if (userCopy) {
            QVERIFY(QDir().mkpath(user.filePath(QStringLiteral("bmp"))));
            QVERIFY(own.save(user.filePath(QStringLiteral("bmp/syukoku.bmp")), "BMP"));
        }
        Tsosikisyu w(DataFolders{home_->path(), user.path()});
        w.setAttribute(Qt::WA_DeleteOnClose, false);
        if (shown == QLatin1String("user")) {
            QCOMPARE(w.Picture().size(), own.size());
        } else if (shown == QLatin1String("shipped")) {
            QCOMPARE(w.Picture().size(), shippedSize);
        } else {
            QVERIFY(w.Picture().isNull());
            const QString text = Child<QLabel>(w, "Image1")->text();
            QVERIFY2(text.contains(QDir::toNativeSeparators(shippedFile)), qPrintable(text));
            QVERIFY(!Child<QPushButton>(w, "prnbtn")->isEnabled());
        }
    }

    // The matrix page: texts where the layout puts them, and the footer.
    void starMatrixPrint() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) QSKIP("pdftotext is not installed");
        const QString ini = home_->filePath(QStringLiteral("zelv.ini"));
        {
            QFile f(ini);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[owner]\r\ntitle=Stars\r\ntel=03-1234-5678\r\n");
        }
        const QString pdf = home_->filePath(QStringLiteral("matrix.pdf"));
        Tmatorixfrm w(ini);
        w.SetPrintRunner(ToPdf(pdf));
        w.show();
        QTest::mouseClick(Child<QPushButton>(w, "prnbtn"), Qt::LeftButton);
        const QList<Word> words = PdfWords(pdf);
        QVERIFY2(!words.isEmpty(), "no text in the PDF");
        struct Expect {
            QString text;
            int x, y;
        };
        const QList<Expect> expected = {
            {QStringLiteral("【Zelvaraの主な星のマトリックス図】"), 20, 15},
            {QStringLiteral("天機星"), 50, 70},
            {QStringLiteral("七殺星"), 90, 120},
            {QStringLiteral("貪狼星"), 130, 160},
            {QStringLiteral("(著作)Stars"), 60, 276},
            {QStringLiteral("03-1234-5678"), -1, 276},
        };
        for (const Expect& e : expected) {
            auto it = std::find_if(words.begin(), words.end(), [&](const Word& w) { return w.text == e.text; });
            QVERIFY2(it != words.end(), qPrintable(QStringLiteral("missing: ") + e.text));
            if (e.x >= 0)
                QVERIFY2(std::abs(it->xMm - e.x) < 1.0,
                         qPrintable(QStringLiteral("%1 at x %2 mm").arg(e.text).arg(it->xMm)));
            QVERIFY2(std::abs(it->yMm - e.y) < 1.5,
                     qPrintable(QStringLiteral("%1 at y %2 mm").arg(e.text).arg(it->yMm)));
        }
    }

    void organisationPrint() {
        const QString pdf = home_->filePath(QStringLiteral("inkoku.pdf"));
        Tsosikiin w(DataFolders::Portable(home_->path()));
        w.setAttribute(Qt::WA_DeleteOnClose, false);
        w.SetPrintRunner(ToPdf(pdf));
        w.show();
        QTest::mouseClick(Child<QPushButton>(w, "prnbtn"), Qt::LeftButton);
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QVERIFY2(bytes.contains("/Subtype /Image"), "no picture on the page");
    }

    // The picture prints at its own aspect ratio, as large as the area
    // (20, 30)–(180, 150) mm holds it.
    void organisationPrintKeepsItsAspect_data() {
        QTest::addColumn<QSize>("picture");
        QTest::newRow("organisation chart 640 x 460") << QSize(640, 460);
        QTest::newRow("square") << QSize(300, 300);
        QTest::newRow("wide") << QSize(800, 200);
    }
    void organisationPrintKeepsItsAspect() {
        QFETCH(QSize, picture);
        QImage black(picture, QImage::Format_RGB32);
        black.fill(Qt::black);
        const QString pdf = home_->filePath(QStringLiteral("aspect.pdf"));
        {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            QVERIFY(PrintOrganisationPicture(printer, black));
        }
        QProcess raster;
        raster.start(QStringLiteral("pdftoppm"),
                     {"-r", "100", "-gray", "-singlefile", "-png", pdf, home_->filePath("aspect")});
        QVERIFY(raster.waitForFinished(30000) && raster.exitCode() == 0);
        const QImage page = QImage(home_->filePath("aspect.png")).convertToFormat(QImage::Format_Grayscale8);
        QRect dark;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 64) dark |= QRect(x, y, 1, 1);
        QVERIFY(!dark.isEmpty());
        const double printed = double(dark.width()) / dark.height(), own = double(picture.width()) / picture.height();
        QVERIFY2(std::abs(printed / own - 1) < 0.015, qPrintable(QStringLiteral("printed %1 x %2 px, aspect %3 for %4")
                                                                     .arg(dark.width())
                                                                     .arg(dark.height())
                                                                     .arg(printed)
                                                                     .arg(own)));
        // It fills the area's width or its height (160 x 120 mm, 630 x 472 px).
        QVERIFY2(std::abs(dark.width() - 630) <= 6 || std::abs(dark.height() - 472) <= 6,
                 qPrintable(QStringLiteral("%1 x %2 px").arg(dark.width()).arg(dark.height())));
    }
};

QTEST_MAIN(TestPictureWindows)
#include "tst_picture_windows.moc"
