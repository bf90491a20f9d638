// The legends table and the legends viewer: seeding, posting, refused text,
// pictures by page, the pending edit of the close box, the organisation
// windows, and what the legends print is handed.
#include "store/legends_table.h"
#include "tests/windows/window_support.h"
#include "windows/legends_window.h"
#include "windows/picture_windows.h"

#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>

using namespace zelvara;

namespace {

// The text a fresh LegendsTable reads from the file (what the next run sees).
QString Stored(const QString& folder, const QString& field) {
    RecordingSink sink;
    LegendsTable table(sink);
    if (!table.Open(folder)) return QStringLiteral("<not opened: %1>").arg(sink.Last());
    return table.Value(field);
}

// The shipped seed's text of a field.
QString SeedText(const QString& field) {
    QFile f(QString::fromLatin1(LegendsTable::kSeedResource));
    if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("<no seed>");
    return ParseLegendSeed(QString::fromUtf8(f.readAll())).values.at(LegendFieldNames().indexOf(field));
}

}  // namespace

class TestLegendsWindow : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> home_;
    RecordingSink sink_;

    template <typename T>
    T* Child(QWidget& w, const QString& name) {
        T* c = w.findChild<T*>(name);
        if (!c) qWarning("no control %s", qPrintable(name));
        return c;
    }

private slots:
    void init() {
        home_ = FreshProgramFolder();
        sink_ = RecordingSink();
    }

    // A missing table is made from the seed; an edited one is never replaced.
    void seededOnceThenKept() {
        {
            LegendsTable table(sink_);
            QVERIFY2(table.Open(home_->path()), qPrintable(sink_.Last()));
            for (const QString& field : LegendFieldNames()) {
                QVERIFY2(!table.Value(field).isEmpty(), qPrintable(field));
                QCOMPARE(table.Value(field), SeedText(field));
            }
            table.SetValue(QStringLiteral("七殺星"), QStringLiteral("書き換えた説明"));
            QVERIFY(table.Post());
        }
        QCOMPARE(Stored(home_->path(), QStringLiteral("七殺星")), QStringLiteral("書き換えた説明"));
        QVERIFY(QFile::remove(home_->filePath(QString::fromLatin1(LegendsTable::kFileName))));
        QCOMPARE(Stored(home_->path(), QStringLiteral("七殺星")), SeedText(QStringLiteral("七殺星")));
        QVERIFY(sink_.messages.isEmpty());
    }

    // A file that is not a legends table is reported and left as it was.
    void foreignFileUntouched() {
        const QString path = home_->filePath(QString::fromLatin1(LegendsTable::kFileName));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("foreign"));
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery(db).exec(QStringLiteral("CREATE TABLE other (x TEXT)"));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
        const QByteArray before = [&] {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        LegendsTable table(sink_);
        QVERIFY(!table.Open(home_->path()));
        QVERIFY2(sink_.Last().contains(QStringLiteral("星の説明の表ではありません")), qPrintable(sink_.Last()));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    // Text Shift-JIS cannot write is refused by name; nothing is lost.
    void postRefusesUnwritableText() {
        LegendsTable table(sink_);
        QVERIFY(table.Open(home_->path()));
        const QString edited = QStringLiteral("星🌟の説明");
        table.SetValue(QStringLiteral("破軍星"), edited);
        table.SetValue(QStringLiteral("紫薇星"), QStringLiteral("波〜ダッシュ"));
        QVERIFY(!table.Post());
        QVERIFY2(sink_.Last().contains(QStringLiteral("破軍星")), qPrintable(sink_.Last()));
        QVERIFY(table.IsModified());
        QCOMPARE(table.Value(QStringLiteral("破軍星")), edited);
        QCOMPARE(Stored(home_->path(), QStringLiteral("紫薇星")), SeedText(QStringLiteral("紫薇星")));
        table.SetValue(QStringLiteral("破軍星"), QStringLiteral("星の説明"));
        QVERIFY(table.Post());
        // The wave dash an input method types is kept as its Shift-JIS form.
        QCOMPARE(Stored(home_->path(), QStringLiteral("紫薇星")), QStringLiteral("波～ダッシュ"));
    }

    void seedErrors_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        QTest::newRow("shipped seed") << QString() << QString();
        QTest::newRow("unknown field") << "[記録]\n炎星: 火\n"
                                       << "2 行目";
        QTest::newRow("unclosed text") << "[記録]\n紫薇星: <<\n説明\n"
                                       << "紫薇星";
        QTest::newRow("second record") << "[記録]\n紫薇星: a\n[記録]\n"
                                       << "3 行目";
        QTest::newRow("field before record") << "紫薇星: a\n"
                                             << "1 行目";
        // The seed parser of every table: a byte-order mark, any line breaks,
        // one value per field, text Shift-JIS can write, the file named.
        QTest::newRow("byte-order mark") << "\uFEFF[記録]\n紫薇星: a\n" << QString();
        QTest::newRow("CR line breaks") << "[記録]\r紫薇星: <<\r説明\r>>\r" << QString();
        QTest::newRow("field twice") << "[記録]\n紫薇星: a\n紫薇星: b\n"
                                     << "3 行目";
        QTest::newRow("not in Shift-JIS") << "[記録]\n紫薇星: 🌟\n"
                                          << "2 行目";
        QTest::newRow("file named") << "[記録]\n炎星: 火\n"
                                    << "helpbun.txt の 2 行目";
    }
    void seedErrors() {
        QFETCH(QString, text);
        QFETCH(QString, error);
        if (QByteArray(QTest::currentDataTag()) == "shipped seed") {
            QFile f(QString::fromLatin1(LegendsTable::kSeedResource));
            QVERIFY(f.open(QIODevice::ReadOnly));
            text = QString::fromUtf8(f.readAll());
        }
        const LegendSeed seed = ParseLegendSeed(text);
        if (error.isEmpty())
            QVERIFY2(seed.error.isEmpty(), qPrintable(seed.error));
        else
            QVERIFY2(seed.error.contains(error), qPrintable(seed.error));
    }

    void tabsAndPictures_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("file");
        QTest::newRow("first") << 0 << "紫薇星"
                               << "zelvsei.bmp";
        QTest::newRow("七殺星") << 12 << "七殺星"
                                << "sitisatu.bmp";
        QTest::newRow("last") << 13 << "破軍星"
                              << "hagun.bmp";
    }
    void tabsAndPictures() {
        QFETCH(int, index);
        QFETCH(QString, caption);
        QFETCH(QString, file);
        Thelpbunfrm w(sink_, home_->path());
        auto* page = Child<QTabWidget>(w, "Page1");
        QCOMPARE(page->count(), 14);
        page->setCurrentIndex(index);
        QCOMPARE(page->tabText(index), caption);
        auto* image = Child<QLabel>(w, "Image1");
        QCOMPARE(image->property("pictureFile").toString(), home_->filePath(QStringLiteral("bmp/") + file));
        QVERIFY(!image->pixmap().isNull());
        QCOMPARE(
            image->pixmap().toImage(),
            QImage(home_->filePath(QStringLiteral("bmp/") + file)).convertToFormat(image->pixmap().toImage().format()));
        QCOMPARE(Child<QPlainTextEdit>(w, QStringLiteral("DBMemo%1").arg(index + 1))->toPlainText(), SeedText(caption));
        if (const QString dir = qEnvironmentVariable("ZELVARA_SCREENSHOT_DIR"); !dir.isEmpty()) {
            QDir().mkpath(dir);
            w.show();
            w.grab().save(QDir(dir).filePath(QStringLiteral("legends-%1.png").arg(index)));
        }
    }

    // A missing picture says so in its place; the page keeps its text.
    void missingPicture() {
        QVERIFY(QFile::remove(home_->filePath(QStringLiteral("bmp/sitisatu.bmp"))));
        Thelpbunfrm w(sink_, home_->path());
        Child<QTabWidget>(w, "Page1")->setCurrentIndex(12);
        auto* image = Child<QLabel>(w, "Image1");
        QVERIFY(image->pixmap().isNull());
        QVERIFY2(image->text().contains(QStringLiteral("sitisatu.bmp")), qPrintable(image->text()));
        QCOMPARE(Child<QPlainTextEdit>(w, "DBMemo13")->toPlainText(), SeedText(QStringLiteral("七殺星")));
    }

    // Installed layout: the star picture the user put in the data folder is
    // the one shown; the other stars keep the shipped pictures.
    void userPictureOverridesShipped() {
        QTemporaryDir user;
        QVERIFY(QDir().mkpath(user.filePath(QStringLiteral("bmp"))));
        QImage own(32, 24, QImage::Format_RGB32);
        own.fill(Qt::blue);
        QVERIFY(own.save(user.filePath(QStringLiteral("bmp/hagun.bmp")), "BMP"));
        Thelpbunfrm w(sink_, DataFolders{home_->path(), user.path()});
        QCOMPARE(w.PicturePath(14), user.filePath(QStringLiteral("bmp/hagun.bmp")));
        QCOMPARE(w.PicturePath(13), home_->filePath(QStringLiteral("bmp/sitisatu.bmp")));
        Child<QTabWidget>(w, "Page1")->setCurrentIndex(13);
        auto* image = Child<QLabel>(w, "Image1");
        QCOMPARE(image->pixmap().size(), own.size());
        QCOMPARE(image->property("pictureFile").toString(), user.filePath(QStringLiteral("bmp/hagun.bmp")));
        // The table is made in the user's folder, not beside the pictures.
        QVERIFY(QFile::exists(user.filePath(QStringLiteral("helpbun.DB"))));
    }

    // 閉じる posts; the close box leaves the edit pending for the next 閉じる.
    void closingPostsOrLeavesPending() {
        Thelpbunfrm w(sink_, home_->path());
        w.show();
        Child<QPlainTextEdit>(w, "DBMemo3")->setPlainText(QStringLiteral("太陽の新しい説明"));
        w.close();  // as the title-bar close box does
        QVERIFY(!w.isVisible());
        QVERIFY(w.Table().IsModified());
        QCOMPARE(Stored(home_->path(), QStringLiteral("太陽星")), SeedText(QStringLiteral("太陽星")));
        w.show();
        QCOMPARE(Child<QPlainTextEdit>(w, "DBMemo3")->toPlainText(), QStringLiteral("太陽の新しい説明"));
        QTest::mouseClick(Child<QPushButton>(w, "closebtn"), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(Stored(home_->path(), QStringLiteral("太陽星")), QStringLiteral("太陽の新しい説明"));
    }

    // A refused post keeps the window open with the edit.
    void refusedPostKeepsWindowOpen() {
        Thelpbunfrm w(sink_, home_->path());
        w.show();
        Child<QPlainTextEdit>(w, "DBMemo1")->setPlainText(QStringLiteral("絵文字😀"));
        QTest::mouseClick(Child<QPushButton>(w, "closebtn"), Qt::LeftButton);
        QVERIFY(w.isVisible());
        QVERIFY2(sink_.Last().contains(QStringLiteral("紫薇星")), qPrintable(sink_.Last()));
        QCOMPARE(Child<QPlainTextEdit>(w, "DBMemo1")->toPlainText(), QStringLiteral("絵文字😀"));
    }

    // Each click opens a window of its own; closing one leaves the other.
    void organisationWindowsPerClick() {
        Thelpbunfrm w(sink_, home_->path());
        QStringList printed;
        w.SetPrintRunner([&printed](QWidget*, const QString& document, const PageDrawer&) { printed << document; });
        w.show();
        QTest::mouseClick(Child<QPushButton>(w, "SpeedButton1"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(w, "SpeedButton1"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(w, "SpeedButton2"), Qt::LeftButton);
        const QList<Tsosikiin*> inner = w.findChildren<Tsosikiin*>();
        QCOMPARE(inner.size(), 2);
        QVERIFY(inner[0] != inner[1] && inner[0]->isVisible() && inner[1]->isVisible());
        QCOMPARE(inner[0]->windowTitle(), QStringLiteral("殷国の組織図"));
        const QList<Tsosikisyu*> outer = w.findChildren<Tsosikisyu*>();
        QCOMPARE(outer.size(), 1);
        QCOMPARE(outer[0]->windowTitle(), QStringLiteral("周国組織図"));
        // They print where the viewer was told to.
        QTest::mouseClick(Child<QPushButton>(*outer[0], "prnbtn"), Qt::LeftButton);
        QCOMPARE(printed, QStringList{QStringLiteral("周国組織図")});
        inner[0]->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(w.findChildren<Tsosikiin*>().size(), 1);
        QVERIFY(w.isVisible());
    }

    // 印刷 runs the legends print once one is attached; it is handed the
    // descriptions as the memos hold them, unposted edits included.
    void printHandlerAndDescriptions() {
        Thelpbunfrm w(sink_, home_->path());
        auto* prnbtn = Child<QPushButton>(w, "prnbtn");
        QVERIFY(!prnbtn->isEnabled());
        std::array<QString, kLegendFields + 1> printed;
        w.SetPrintHandler([&] { printed = w.Descriptions(); });
        QVERIFY(prnbtn->isEnabled());
        w.show();
        Child<QPlainTextEdit>(w, "DBMemo14")->setPlainText(QStringLiteral("破軍の下書き"));
        QTest::mouseClick(prnbtn, Qt::LeftButton);
        QCOMPARE(printed[14], QStringLiteral("破軍の下書き"));
        QCOMPARE(printed[1], SeedText(QStringLiteral("紫薇星")));
        QVERIFY(printed[0].isEmpty());
        QCOMPARE(w.PicturePath(14), home_->filePath(QStringLiteral("bmp/hagun.bmp")));
        QCOMPARE(Child<QPlainTextEdit>(w, "Memo1")->width(), Thelpbunfrm::kMemo1Width);
        QVERIFY(!Child<QPlainTextEdit>(w, "Memo1")->isVisible());
    }
};

QTEST_MAIN(TestLegendsWindow)
#include "tst_legends_window.moc"
