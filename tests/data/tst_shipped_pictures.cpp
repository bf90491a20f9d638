// The pictures under data/ are what tools/media draws, byte for byte (so the
// generator is deterministic and nobody edits a picture by hand), at the
// sizes the pages need: palace emblems 40 × 40 as seals in their group's
// colour, star cards at over 300 pixels per inch of their printed 40 × 60 mm.
#include "tools/media/media.h"
#include "tools/media/pictures.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kData = QStringLiteral(ZELVARA_DATA_DIR);

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QStringList kPalaceFiles = {"hubo.bmp",   "meikyu.bmp",  "keitei.bmp",   "fusai.bmp",
                                  "sijyo.bmp",  "zai.bmp",     "situyaku.bmp", "seni.bmp",
                                  "nuboku.bmp", "kanroku.bmp", "dentaku.bmp",  "fukutoku.bmp"};

}  // namespace

class TestShippedPictures : public QObject {
    Q_OBJECT
private slots:
    void generatedFilesAreTheShippedOnes() {
        QTemporaryDir out;
        QVERIFY(QDir(out.path()).mkpath(QStringLiteral("bmp")));
        QVERIFY(media::WritePalaceBitmaps(out.path()));
        QVERIFY(pictures::WriteStarPictures(out.path()));
        QVERIFY(pictures::WriteOrganisationPictures(out.path()));
        QVERIFY(pictures::WriteMatrixPicture(out.path()));
        QStringList files = kPalaceFiles;
        files << QStringLiteral("matorix.png");
        for (const QString& f : QDir(out.filePath("bmp")).entryList({QStringLiteral("*.bmp")}, QDir::Files))
            files << QStringLiteral("bmp/") + f;
        QCOMPARE(files.size(), 12 + 1 + 16);
        QStringList differ;
        for (const QString& f : files) {
            const QByteArray made = Bytes(out.filePath(f));
            if (made.isEmpty() || made != Bytes(QDir(kData).filePath(f))) differ << f;
        }
        QVERIFY2(differ.isEmpty(), qPrintable(QStringLiteral("not what the generator makes (run zelvara-media and "
                                                             "zelvara-pictures into data/): ") +
                                              differ.join(", ")));
    }

    // Twelve emblems: a seal filled with the colour of the palace's group on
    // the data page, and no two alike.
    void palaceEmblemsAreSealsInTheirGroupsColour() {
        const QColor kin(128, 0, 0), success(255, 0, 0), fortune(0, 128, 0);
        const QColor group[12] = {kin,     success, kin,     kin,     kin,     success,
                                  fortune, success, fortune, success, fortune, fortune};
        QSet<QByteArray> seen;
        for (int i = 0; i < 12; ++i) {
            const QImage img(QDir(kData).filePath(kPalaceFiles[i]));
            QCOMPARE(img.size(), QSize(40, 40));
            // Inside the seal, between its edge and the carved border.
            QCOMPARE(QColor(img.pixel(3, 20)).rgb(), group[i].rgb());
            QCOMPARE(QColor(img.pixel(20, 3)).rgb(), group[i].rgb());
            // The character: light strokes in the middle of the seal.
            int light = 0;
            for (int y = 10; y < 30; ++y)
                for (int x = 10; x < 30; ++x) light += qGray(img.pixel(x, y)) > 200;
            QVERIFY2(light > 30, qPrintable(kPalaceFiles[i]));
            seen << Bytes(QDir(kData).filePath(kPalaceFiles[i]));
        }
        QCOMPARE(seen.size(), 12);
    }

    void starCardsAtPrintResolution() {
        const QStringList cards = QDir(QDir(kData).filePath("bmp")).entryList({QStringLiteral("*.bmp")}, QDir::Files);
        int n = 0;
        for (const QString& f : cards) {
            if (f == QStringLiteral("inkoku.bmp") || f == QStringLiteral("syukoku.bmp")) continue;
            ++n;
            const QImage img(QDir(kData).filePath(QStringLiteral("bmp/") + f));
            // 300 pixels per inch of 40 × 60 mm is 472 × 709; 24-bit, no palette.
            QVERIFY2(
                img.width() >= 472 && img.height() >= 709 && img.depth() >= 24,
                qPrintable(
                    QStringLiteral("%1: %2 x %3, %4 bit").arg(f).arg(img.width()).arg(img.height()).arg(img.depth())));
            QCOMPARE(img.width() * 3, img.height() * 2);
        }
        QCOMPARE(n, 14);
    }
};

QTEST_MAIN(TestShippedPictures)
#include "tst_shipped_pictures.moc"
