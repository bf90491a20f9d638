#include "main/app_windows.h"
#include "main/help_window.h"
#include "main/main_window.h"
#include "tests/main/main_window_fixture.h"
#include "tests/recording_sink.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QSoundEffect>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace zelvara;

namespace {

// A fresh program folder holding the shipped chimes, bitmaps and help.
std::unique_ptr<QTemporaryDir> FreshProgramFolder(bool withBitmaps = true) {
    return testing::ProgramFolder(withBitmaps ? QStringList{"*.bmp", "sound*.wav", "help/index.html"}
                                              : QStringList{"sound*.wav", "help/index.html"});
}

// The chime the window started playing; empty when none.
QString ChimePlayed(const QWidget& w) {
    const QList<QSoundEffect*> chimes = w.findChildren<QSoundEffect*>();
    return chimes.isEmpty() ? QString() : chimes.front()->source().fileName();
}

void WriteSettings(const QString& path, const QByteArray& check) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[sound]\r\ncheck=" + check + "\r\n");
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> home_;
    RecordingSink sink_;

    std::unique_ptr<TMainForm1> Start(QDate today = QDate(2024, 5, 13), bool bitmaps = true,
                                      const QString& userFolder = {}) {
        if (!home_) home_ = FreshProgramFolder(bitmaps);
        StartupOptions o = testing::QuietStartup(home_->path());
        o.userFolder = userFolder;
        o.today = today;
        return testing::StartMainWindow(sink_, o);
    }
    template <typename T>
    T* Find(QWidget* w, const char* name) {
        T* found = w->findChild<T*>(QString::fromLatin1(name));
        if (!found) qWarning("no control %s", name);
        return found;
    }

private slots:
    void init() {
        home_.reset();
        sink_ = RecordingSink();
    }

    void startupOrderAndSound_data() {
        QTest::addColumn<int>("day");
        QTest::addColumn<QByteArray>("check");
        QTest::addColumn<QString>("sound");
        QTest::newRow("10th") << 10 << QByteArray("True") << "sound1.wav";
        QTest::newRow("20th") << 20 << QByteArray("True") << "sound1.wav";
        QTest::newRow("30th") << 30 << QByteArray("True") << "sound1.wav";
        QTest::newRow("1st") << 1 << QByteArray("True") << "sound2.wav";
        QTest::newRow("12th") << 12 << QByteArray("True") << "sound2.wav";
        QTest::newRow("3rd") << 3 << QByteArray("True") << "sound3.wav";
        QTest::newRow("16th") << 16 << QByteArray("True") << "sound3.wav";
        QTest::newRow("14th") << 14 << QByteArray("True") << "sound6.wav";
        QTest::newRow("25th") << 25 << QByteArray("True") << "sound4.wav";
        QTest::newRow("7th") << 7 << QByteArray("True") << "sound4.wav";
        QTest::newRow("28th") << 28 << QByteArray("True") << "sound5.wav";
        QTest::newRow("19th") << 19 << QByteArray("True") << "sound5.wav";
        QTest::newRow("no settings file") << 14 << QByteArray() << "sound6.wav";
        QTest::newRow("False") << 14 << QByteArray("False") << "off";
        QTest::newRow("lower-case true") << 14 << QByteArray("true") << "off";
    }
    void startupOrderAndSound() {
        QFETCH(int, day);
        QFETCH(QByteArray, check);
        QFETCH(QString, sound);
        home_ = FreshProgramFolder();
        if (!check.isEmpty()) WriteSettings(home_->filePath("zelv.ini"), check);
        auto w = Start(QDate(2024, 1, day));
        QCOMPARE(ChimePlayed(*w), sound == "off" ? QString() : sound);
        // The engine is ready with no chart, the boxes are filled, the
        // register is open and the caption carries the version.
        QVERIFY(!w->Session().HasChart());
        QVERIFY(!w->Boxes()[1].palace->Glyph().isNull());
        QVERIFY(w->Persons().IsOpen());
        QCOMPARE(w->windowTitle(), QStringLiteral("Zelvaraプロ版Version3.1"));
        QCOMPARE(Find<QTabWidget>(w.get(), "PageControl1")->currentIndex(), 0);
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('|')));
    }

    // The splash stays its time without blocking the event loop.
    void splashWaitKeepsEventsFlowing() {
        home_ = FreshProgramFolder();
        StartupOptions o = testing::QuietStartup(home_->path());
        o.showSplash = true;
        o.splashMilliseconds = 600;
        // The splash is on screen while the wait runs, before the window
        // has its caption; gone once the start-up is done.
        bool splashShown = false;
        QString captionMeanwhile;
        TMainForm1 w(sink_);
        QTimer::singleShot(100, [&] {
            splashShown = testing::TopLevel("title") && testing::TopLevel("title")->isVisible();
            captionMeanwhile = w.windowTitle();
        });
        QElapsedTimer clock;
        clock.start();
        w.RunStartup(o);
        QVERIFY2(clock.elapsed() >= 600, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(splashShown);
        QVERIFY(!captionMeanwhile.contains("Version"));
        QVERIFY(!testing::TopLevel("title"));
        QVERIFY(w.Persons().IsOpen());
    }

    // The windows the main window opens stand once the program is started.
    void openableWindowsExist() {
        auto w = Start();
        ApplicationWindows windows(*w);
        for (const char* name : {"TCunstomFrm", "Tdbenvfrm", "TkounDBfrm", "TAiDBfrm", "Tkekkonfrm", "Thelpbunfrm",
                                 "Tmatorixfrm", "Ttimefrm"})
            QVERIFY2(testing::TopLevel(name), name);
    }

    void chartBoxesBuiltFromBoxZero() {
        auto w = Start();
        const QStringList palaces{"父母", "命宮", "兄弟", "夫妻", "子女", "財帛",
                                  "疾厄", "遷移", "奴僕", "官禄", "田宅", "福徳"};
        const QStringList branches{"子", "丑", "寅", "卯", "辰", "巳", "午", "未", "申", "酉", "戌", "亥"};
        for (int k = 0; k < kChartBoxes; ++k) {
            const ChartBox& b = w->Boxes()[k];
            QCOMPARE(b.palace->text(), palaces[k]);
            QCOMPARE(b.palace->Tag(), k + 1);
            QVERIFY2(!b.palace->Glyph().isNull(), qPrintable(palaces[k]));
            QCOMPARE(b.branch->text(), branches[k]);
            QCOMPARE(b.age->text(), QStringLiteral("才"));
            QCOMPARE(b.palace->size(), QSize(51, 65));
            for (int r = 0; r < 6; ++r) {
                QCOMPARE(b.stars[r]->geometry(), w->Boxes()[0].stars[r]->geometry());
                QVERIFY(b.stars[r]->text().isEmpty());
            }
        }
        QCOMPARE(w->Boxes()[6].frame->geometry(), QRect(426, 372, 137, 125));  // 午 bottom right
        QCOMPARE(w->Boxes()[11].frame->geometry(), QRect(0, 122, 137, 125));   // 亥
    }

    // The data page's choices, written out here as the user reads them: the
    // hour list with its "unknown" entry, the extraction's palaces and stars,
    // and the captions of the twelve palace fields (官録 as the register
    // spells the field).
    void dataPageChoices() {
        auto w = Start();
        auto items = [](const QComboBox* box) {
            QStringList list;
            for (int i = 0; i < box->count(); ++i) list << box->itemText(i);
            return list;
        };
        QCOMPARE(items(Find<QComboBox>(w.get(), "inTime")),
                 QStringLiteral("23:00-01:00 01:00-03:00 03:00-05:00 05:00-07:00 07:00-09:00 09:00-11:00 11:00-13:00 "
                                "13:00-15:00 15:00-17:00 17:00-19:00 19:00-21:00 21:00-23:00 不明の場合")
                     .split(QLatin1Char(' ')));
        QCOMPARE(items(Find<QComboBox>(w.get(), "kyubox")),
                 QStringLiteral("父母 命宮 兄弟 夫妻 子女 財帛 疾厄 遷移 奴僕 官禄 田宅 福徳").split(QLatin1Char(' ')));
        QCOMPARE(
            items(Find<QComboBox>(w.get(), "hosibox")),
            QStringLiteral(
                "紫薇 天機 太陽 武曲 天同 廉貞 天府 太陰 貪狼 巨門 天相 天梁 七殺 破軍 炎星 鈴星 文曲 文昌 羊刃 陀羅")
                .split(QLatin1Char(' ')));
        QStringList captions;
        for (const QLabel* label : w->findChild<QWidget*>(QStringLiteral("datainput"))->findChildren<QLabel*>())
            if (label->text().endsWith(QStringLiteral("宮")) && label->text().size() == 3) captions << label->text();
        QCOMPARE(
            captions,
            QStringLiteral(
                "六親宮 父母宮 兄弟宮 夫妻宮 子女宮 成敗宮 財帛宮 官録宮 遷移宮 幸禍宮 奴僕宮 田宅宮 福徳宮 疾厄宮")
                .split(QLatin1Char(' ')));
    }

    void missingBitmapsAreReportedNotFatal() {
        home_ = FreshProgramFolder(false);
        auto w = Start();
        QCOMPARE(sink_.messages.size(), 1);
        QVERIFY2(sink_.Last().contains("fukutoku.bmp"), qPrintable(sink_.Last()));
        QVERIFY(w->Persons().IsOpen());
    }

    // Installed layout: a palace bitmap or help page the user put in the data
    // folder is used instead of the shipped one; the others stay shipped.
    void userFilesOverrideShipped() {
        QTemporaryDir user;
        QImage own(20, 16, QImage::Format_RGB32);
        own.fill(Qt::green);
        QVERIFY(own.save(user.filePath("hubo.bmp"), "BMP"));
        QVERIFY(QDir().mkpath(user.filePath("help")));
        home_ = FreshProgramFolder();
        QVERIFY(QFile::copy(home_->filePath("help/index.html"), user.filePath("help/index.html")));
        auto w = Start(QDate(2024, 5, 13), true, user.path());
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('|')));
        QCOMPARE(w->Boxes()[0].palace->Glyph().size(), own.size());  // 父母: the user's
        QCOMPARE(w->Boxes()[1].palace->Glyph().size(), QPixmap(home_->filePath("meikyu.bmp")).size());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTest::keyClick(w.get(), Qt::Key_F1);
        auto* help = w->findChild<HelpWindow*>("helpWindow");
        QVERIFY(help);
        QCOMPARE(help->ShownSource(), QUrl::fromLocalFile(user.filePath("help/index.html")).toString() + "#topic4");
    }

    void pageGuardBeforeAChart() {
        auto w = Start();
        auto* pages = Find<QTabWidget>(w.get(), "PageControl1");
        for (int page : {1, 2, 0, 4}) {
            pages->setCurrentIndex(page);
            QCOMPARE(pages->currentIndex(), page);  // the page still changes
            QCOMPARE(sink_.Last(), QStringLiteral("鑑定ボタンを最初に行ってください。"));
        }
        QCOMPARE(sink_.messages.size(), 4);
        QTest::mouseClick(Find<QPushButton>(w.get(), "BitBtn1"), Qt::LeftButton);
        QCOMPARE(sink_.Last(), QStringLiteral("診断が実行されていません。先に診断を実行して下さい。"));
        QCOMPARE(sink_.captions.constLast(), QString());  // the application title

        // Once a chart is cast the pages change without a word.
        testing::CopyShipped(home_->path(), {"1964.eto", "1965.eto", "1966.eto"});
        testing::TypeAndCast(*w, {QStringLiteral("試験"), "1965", "3", "7", "05:00-07:00", QStringLiteral("女")});
        QVERIFY2(w->Session().HasChart(), qPrintable(sink_.Last()));
        QCOMPARE(pages->currentIndex(), 1);
        pages->setCurrentIndex(0);
        QCOMPARE(sink_.messages.size(), 5);
    }

    void f2TurnsEraYearIntoWestern_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Showa 50") << "S50"
                                  << "1975";
        QTest::newRow("Heisei 2") << "H2"
                                  << "1990";
        QTest::newRow("western stays") << "1959"
                                       << "1959";
        QTest::newRow("full-width Showa 50") << "Ｓ５０"
                                             << "1975";
        QTest::newRow("full-width lower case") << "ｓ４０"
                                               << "1965";
        QTest::newRow("blank before") << " H2"
                                      << "1990";
        QTest::newRow("Meiji") << "M45"
                               << "1912";
        QTest::newRow("outside its era stays") << "R0"
                                               << "R0";
    }
    void f2TurnsEraYearIntoWestern() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        auto w = Start();
        auto* inYy = Find<QLineEdit>(w.get(), "inYy");
        inYy->insert(typed);  // as typed, or committed by an input method
        QTest::keyClick(inYy, Qt::Key_F2);
        QCOMPARE(inYy->text(), shown);
        QCOMPARE(w->Persons().Value(kFieldYear), shown);
    }

    // A whole date typed into the year box goes into the three boxes on F2,
    // the era year turned western.
    void f2SplitsAWholeDate_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("day");
        QTest::newRow("full-width era") << "Ｓ３４／５／７"
                                        << "1959"
                                        << "5"
                                        << "7";
        QTest::newRow("western") << "1959/5/7"
                                 << "1959"
                                 << "5"
                                 << "7";
        QTest::newRow("era with dots") << "S34.5.7"
                                       << "1959"
                                       << "5"
                                       << "7";
        QTest::newRow("leading zeros") << "h2/05/09"
                                       << "1990"
                                       << "5"
                                       << "9";
        QTest::newRow("full-width dots") << "１９８５．１２．３１"
                                         << "1985"
                                         << "12"
                                         << "31";
    }
    void f2SplitsAWholeDate() {
        QFETCH(QString, typed);
        QFETCH(QString, year);
        QFETCH(QString, month);
        QFETCH(QString, day);
        auto w = Start();
        auto* inYy = Find<QLineEdit>(w.get(), "inYy");
        inYy->insert(typed);  // as an input method commits
        QTest::keyClick(inYy, Qt::Key_F2);
        QCOMPARE(inYy->text(), year);
        QCOMPARE(Find<QComboBox>(w.get(), "inMm")->currentText(), month);
        QCOMPARE(Find<QComboBox>(w.get(), "inDd")->currentText(), day);
        QCOMPARE(Find<QComboBox>(w.get(), "inMm")->currentIndex(), month.toInt() - 1);
        QCOMPARE(w->Persons().Value(kFieldYear), year);
        QCOMPARE(w->Persons().Value(kFieldMonth), month);
        QCOMPARE(w->Persons().Value(kFieldDay), day);
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('|')));
    }

    // Every button of the data page has its own access key, and Alt+P posts
    // the record (ﾃﾞｰﾀ登録(&P)).
    void dataPageAccessKeysAreDistinct() {
        auto w = Start();
        QMap<int, QString> owner;
        for (QPushButton* b : Find<QWidget>(w.get(), "datainput")->findChildren<QPushButton*>()) {
            const QKeySequence key = QKeySequence::mnemonic(b->text());
            if (key.isEmpty()) continue;
            QVERIFY2(!owner.contains(key[0].toCombined()),
                     qPrintable(b->text() + QStringLiteral(" and ") + owner.value(key[0].toCombined())));
            owner.insert(key[0].toCombined(), b->text());
        }
        QCOMPARE(owner.value(QKeySequence(Qt::ALT | Qt::Key_P)[0].toCombined()), QStringLiteral("ﾃﾞｰﾀ登録(&P)"));

        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        auto* inName = Find<QLineEdit>(w.get(), "inName");
        inName->setFocus();
        inName->insert(QStringLiteral("鍵で登録"));
        QVERIFY(w->Persons().IsModified());
        QTest::keyClick(inName, Qt::Key_P, Qt::AltModifier);
        QTRY_VERIFY(!w->Persons().IsModified());  // an access key clicks after a moment
        QCOMPARE(w->Persons().Record(0).values[kFieldName], QStringLiteral("鍵で登録"));
        testing::Snapshot(w.get(), "data_page");
    }

    // Japanese input methods type full-width digits; users type blanks. The
    // year, month and day boxes show and store the plain ASCII text.
    void dateBoxesTakeFullWidthAndBlanks_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("field");
        QTest::newRow("year full-width") << "inYy"
                                         << "１９６５"
                                         << "1965" << int(kFieldYear);
        QTest::newRow("year era full-width") << "inYy"
                                             << "Ｓ４０"
                                             << "S40" << int(kFieldYear);
        QTest::newRow("year lower full-width") << "inYy"
                                               << "ｓ４０"
                                               << "s40" << int(kFieldYear);
        QTest::newRow("year blanks") << "inYy"
                                     << " 1959　"
                                     << "1959" << int(kFieldYear);
        QTest::newRow("month full-width") << "inMm"
                                          << "５"
                                          << "5" << int(kFieldMonth);
        QTest::newRow("month blanks") << "inMm"
                                      << "　１２ "
                                      << "12" << int(kFieldMonth);
        QTest::newRow("day full-width") << "inDd"
                                        << "２９"
                                        << "29" << int(kFieldDay);
        QTest::newRow("day blank") << "inDd"
                                   << " 7"
                                   << "7" << int(kFieldDay);
    }
    void dateBoxesTakeFullWidthAndBlanks() {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(int, field);
        auto w = Start();
        QWidget* control = w->findChild<QWidget*>(box);
        QVERIFY(control);
        auto* combo = qobject_cast<QComboBox*>(control);
        QLineEdit* edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(control);
        edit->clear();
        edit->insert(typed);  // as an input method commits
        QCOMPARE(edit->text(), stored);
        QCOMPARE(w->Persons().Value(field), stored);
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('|')));
    }

    // The 氏名 column shows a full ten-character name on one line.
    void gridShowsAFullTenCharacterName() {
        auto w = Start();
        auto* grid = Find<QTableView>(w.get(), "DBGrid1");
        QVERIFY(grid);
        const QString name = QStringLiteral("鷹司綾小路麗華子様");  // ten characters with 様
        QCOMPARE(name.size() + 1, 10);
        const QString full = name + QStringLiteral("彅");
        QVERIFY2(grid->columnWidth(0) >= grid->fontMetrics().horizontalAdvance(full) + 8,
                 qPrintable(QStringLiteral("%1 < %2")
                                .arg(grid->columnWidth(0))
                                .arg(grid->fontMetrics().horizontalAdvance(full) + 8)));
        QVERIFY(!grid->wordWrap());
        const int period = grid->fontMetrics().horizontalAdvance(QStringLiteral("23:00-01:00")) + 8;
        QVERIFY2(grid->columnWidth(4) >= period,
                 qPrintable(QStringLiteral("%1 < %2").arg(grid->columnWidth(4)).arg(period)));
    }

    // A person typed in and registered is there after a restart.
    void registerThroughTheControlsSurvivesRestart() {
        {
            auto w = Start();
            QTest::mouseClick(Find<QPushButton>(w.get(), "gonew"), Qt::LeftButton);
            Find<QLineEdit>(w.get(), "inName")->insert(QStringLiteral("見本太郎"));  // as an input method commits
            QTest::keyClicks(Find<QLineEdit>(w.get(), "inYy"), "1959");
            Find<QComboBox>(w.get(), "inMm")->setCurrentIndex(4);
            Find<QComboBox>(w.get(), "inDd")->setCurrentIndex(6);
            Find<QComboBox>(w.get(), "inTime")->setCurrentIndex(3);
            Find<QComboBox>(w.get(), "ChkSex")->setCurrentIndex(0);
            QTest::mouseClick(Find<QPushButton>(w.get(), "gotoroku"), Qt::LeftButton);
            QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('|')));
        }
        auto w = Start();
        QCOMPARE(w->Persons().RecordCount(), 1);
        QCOMPARE(Find<QLineEdit>(w.get(), "inName")->text(), QStringLiteral("見本太郎"));
        QCOMPARE(Find<QComboBox>(w.get(), "inTime")->currentText(), QStringLiteral("05:00-07:00"));
        QCOMPARE(Find<QComboBox>(w.get(), "inDd")->currentText(), QStringLiteral("7"));
    }

    void tooLongNameIsRefusedAndStaysEditable() {
        auto w = Start();
        auto* inName = Find<QLineEdit>(w.get(), "inName");
        inName->insert(QStringLiteral("一二三四五六七八九十壱"));
        QTest::mouseClick(Find<QPushButton>(w.get(), "gotoroku"), Qt::LeftButton);
        QVERIFY2(sink_.Last().contains("氏名"), qPrintable(sink_.Last()));
        QCOMPARE(inName->text(), QStringLiteral("一二三四五六七八九十壱"));
        QTest::keyClick(inName, Qt::Key_Backspace);
        QTest::mouseClick(Find<QPushButton>(w.get(), "gotoroku"), Qt::LeftButton);
        QCOMPARE(sink_.messages.size(), 1);
        QCOMPARE(w->Persons().Record(0).values[kFieldName], QStringLiteral("一二三四五六七八九十"));
    }

    void extractionMessagesAndFilter() {
        auto w = Start();
        PersonTable& t = w->Persons();
        for (const auto& [name, star] : {std::pair{"甲", "紫薇"}, std::pair{"乙", "天機"}}) {
            t.Append();
            t.SetValue(kFieldName, QString::fromUtf8(name));
            t.SetValue(PalaceFieldIndex(2), QString::fromUtf8(star));
            QVERIFY(t.Post());
        }
        auto* start = Find<QPushButton>(w.get(), "cyusyutubtn");
        QTest::mouseClick(start, Qt::LeftButton);
        QCOMPARE(sink_.Last(), QStringLiteral("宮が選択されていません。"));
        Find<QComboBox>(w.get(), "kyubox")->setCurrentIndex(1);  // 命宮
        QTest::mouseClick(start, Qt::LeftButton);
        QCOMPARE(sink_.Last(), QStringLiteral("星が選択されていません。"));
        Find<QComboBox>(w.get(), "hosibox")->setCurrentIndex(0);  // 紫薇
        QTest::mouseClick(start, Qt::LeftButton);
        QCOMPARE(sink_.messages.size(), 2);
        QCOMPARE(t.RecordCount(), 1);
        QCOMPARE(Find<QLineEdit>(w.get(), "inName")->text(), QStringLiteral("甲"));
        QTest::mouseClick(Find<QPushButton>(w.get(), "all_disp"), Qt::LeftButton);
        QCOMPARE(t.RecordCount(), 2);
    }

    void f1OpensHelpTopicFour() {
        auto w = Start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTest::keyClick(w.get(), Qt::Key_F1);
        auto* help = w->findChild<HelpWindow*>("helpWindow");
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QVERIFY2(help->ShownSource().endsWith("help/index.html#topic4"), qPrintable(help->ShownSource()));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
