// The reading pages in the main window: composing on page entry, on a tab
// change and from a palace button; the luck tabs before and after a chart;
// printing all twelve palaces; the marriage-rules window.
#include "engine/chart_request.h"
#include "main/app_windows.h"
#include "main/main_window.h"
#include "main/reading_pages.h"
#include "main/tab_button_row.h"
#include "readings/luck_reading.h"
#include "readings/marriage_reading.h"
#include "readings/reading_names.h"
#include "tests/main/main_window_fixture.h"
#include "tests/recording_sink.h"
#include "windows/kekkon_window.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <QToolButton>
#include "engine/time_layers.h"

using namespace zelvara;

class TestReadingPages : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> home_;
    RecordingSink sink_;
    std::unique_ptr<TMainForm1> w_;

    template <typename T>
    T* Find(const char* name) {
        return w_->findChild<T*>(QString::fromLatin1(name));
    }
    QTabWidget* Pages() { return Find<QTabWidget>("PageControl1"); }
    QString Text(const char* memo) { return Find<QPlainTextEdit>(memo)->toPlainText(); }

    // A chart requested from the data page.
    void CastChart() {
        testing::TypeAndCast(*w_, {QStringLiteral("試験"), "1965", "3", "7", "05:00-07:00", QStringLiteral("女")});
        QVERIFY(w_->Session().HasChart());
    }
    // With ZELVARA_SCREENSHOT_DIR set, a picture of the window as it stands.
    void Picture(const QString& name) {
        const QString dir = qEnvironmentVariable("ZELVARA_SCREENSHOT_DIR");
        if (dir.isEmpty()) return;
        w_->show();
        QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
        w_->grab().save(QDir(dir).filePath(name + ".png"));
    }
    static QString Lines(const std::optional<QStringList>& lines) { return lines ? lines->join('\n') : QString(); }

private slots:
    void init() {
        home_ = std::make_unique<QTemporaryDir>();
        testing::CopyShipped(home_->path(), {"1964.eto", "1965.eto", "1966.eto", "seed/*.txt"}, ZELVARA_DATA_DIR);
        sink_ = RecordingSink();
        w_ = testing::StartMainWindow(sink_, testing::QuietStartup(home_->path()));
        sink_.messages.clear();  // palace bitmaps are not needed here
    }
    void cleanup() { w_.reset(); }

    void tablesAreOpenedAtStartup() {
        for (const char* f : {"KYU12.db", "KANTEI.DB", "hosiImi.DB", "Ai01.DB", "Ai02.DB", "hosi2dat.txt"})
            QVERIFY2(QFile::exists(home_->filePath(f)), f);
        for (TableId id : AllReadingTables()) QVERIFY(w_->Readings().Tables().Table(id).IsOpen());
    }

    void pageEntryComposes() {
        CastChart();
        Tmandata& man = w_->Context().man;
        const ReadingTexts& texts = *w_->Readings().Tables().Texts();
        Pages()->setCurrentIndex(2);  // 総合鑑定, on its first tab
        const OverallReading overall = ComposeOverallReading(man, w_->BoxTexts(), 1, texts, sink_);
        QCOMPARE(Text("hlp12Memo"), Lines(overall.hlp12Memo));
        QCOMPARE(Text("KanteiMemo"), Lines(overall.kanteiMemo));
        QVERIFY(Text("hlp12Memo").startsWith("■父母宮で何が分かるか？の説明"));
        Picture("reading-overall");

        Pages()->setCurrentIndex(4);  // 結婚相手鑑定
        const MarriageReading marriage = ComposeMarriageReading(man, texts, sink_);
        QCOMPARE(Text("AiMemo1"), Lines(marriage.aiMemo1));
        QCOMPARE(Text("AiMemo2"), Lines(marriage.aiMemo2));
        Picture("reading-marriage");

        Pages()->setCurrentIndex(3);  // 行運鑑定 recomposes nothing on entry
        QCOMPARE(Text("KounMemo"), QString());
        QVERIFY(sink_.messages.isEmpty());
    }

    void tabChangeAndPalaceButton() {
        CastChart();
        Tmandata& man = w_->Context().man;
        auto* kekka = Find<TabButtonRow>("Kekka");
        QTest::mouseClick(kekka->button(5), Qt::LeftButton);
        QCOMPARE(kekka->currentIndex(), 5);
        QVERIFY(Text("hlp12Memo").startsWith("■財帛宮で何が分かるか？の説明"));

        Pages()->setCurrentIndex(1);  // the chart page
        const ChartBox& box = w_->Boxes()[man.palaceBranch[8] - 1];
        QTest::mouseClick(box.palace, Qt::LeftButton);
        QCOMPARE(Pages()->currentIndex(), 1);  // stays on the chart
        QCOMPARE(kekka->currentIndex(), 7);
        const OverallReading r = ComposeOverallReading(man, w_->BoxTexts(), 8, *w_->Readings().Tables().Texts(), sink_);
        QCOMPARE(Text("KanteiMemo"), Lines(r.kanteiMemo));
        QCOMPARE(Find<QPlainTextEdit>("KanteiMemo")->verticalScrollBar()->value(), 0);
    }

    // The pages compose from the texts as saved: an edit still open in the
    // tables, even one that cannot be saved, neither shows nor stops a
    // reading; saved, it shows in the next composition.
    void pagesComposeFromSavedTexts() {
        CastChart();
        ReadingTable& kyu12 = w_->Readings().Tables().kyu12();
        w_->Readings().SelectPalaceTab(1);  // 命宮
        const QString before = Text("hlp12Memo");
        int row = 0;
        while (*kyu12.Value(row, "宮名称") != QStringLiteral("命宮")) QVERIFY(++row < kyu12.RecordCount());
        QVERIFY(kyu12.SetValue(row, "内容", "書けない😀"));
        w_->Readings().SelectPalaceTab(1);
        QCOMPARE(Text("hlp12Memo"), before);
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('\n')));
        QCOMPARE(*kyu12.Value(row, "内容"), QStringLiteral("書けない😀"));
        QVERIFY(kyu12.IsModified());

        QVERIFY(kyu12.SetValue(row, "内容", "保存した命宮の内容"));
        QVERIFY(kyu12.submit());
        w_->Readings().SelectPalaceTab(1);
        QVERIFY2(Text("hlp12Memo").contains("保存した命宮の内容"), qPrintable(Text("hlp12Memo")));
    }

    void luckTabs() {
        auto* tabs = Find<TabButtonRow>("daiuntab");
        QCOMPARE(tabs->tabWidth(), 165);
        QCOMPARE(tabs->tabText(0), QString("3-12才（紫薇星）"));
        QCOMPARE(tabs->tabText(11), QString("113-122"));
        const int rowHeight = tabs->button(0)->sizeHint().height();
        QCOMPARE(tabs->heightForWidth(4 * 165 + 3 * 2), 3 * rowHeight + 2 * 2);  // four to a row, three rows
        QTest::mouseClick(tabs->button(2), Qt::LeftButton);                      // before any chart: nothing
        QCOMPARE(Text("KounMemo"), QString());
        QVERIFY(sink_.messages.isEmpty());

        CastChart();
        Tmandata& man = w_->Context().man;
        QCOMPARE(tabs->currentIndex(), -1);
        QCOMPARE(tabs->tabText(0), QString("%1-%2才(%3)")
                                       .arg(man.luckAge[1])
                                       .arg(man.luckAge[1] + 9)
                                       .arg(QString::fromStdString(man.daiunStarName[1])));
        QTest::mouseClick(tabs->button(2), Qt::LeftButton);
        QCOMPARE(Text("KounMemo"),
                 ComposeLuckReading(man, 3, *w_->Readings().Tables().Texts(), sink_).kounMemo.join('\n'));
        Find<QPlainTextEdit>("KounMemo")->setPlainText("x");
        QTest::mouseClick(tabs->button(2), Qt::LeftButton);  // the same tab again: no new composition
        QCOMPARE(Text("KounMemo"), QString("x"));
        Pages()->setCurrentIndex(3);
        QTest::mouseClick(tabs->button(4), Qt::LeftButton);
        Picture("reading-luck");

        CastChart();  // a new chart: no tab picked, empty reading
        QCOMPARE(tabs->currentIndex(), -1);
        QCOMPARE(Text("KounMemo"), QString());
    }

    // 大限の四化: hidden until checked; then the selected period's caption,
    // stem and 四化 above its text, the memo unchanged.
    void decadeTransformsBesideTheLuckText() {
        auto* tabs = Find<TabButtonRow>("daiuntab");
        auto* check = Find<QCheckBox>("decadeTransformsCheck");
        auto* line = Find<QLabel>("decadeTransforms");
        QVERIFY(check && line);
        CastChart();
        QVERIFY(!check->isChecked());
        QTest::mouseClick(tabs->button(2), Qt::LeftButton);
        QVERIFY(line->isHidden());
        const QString memo = Text("KounMemo");
        check->setChecked(true);
        QVERIFY(!line->isHidden());
        const Tmandata& man = w_->Context().man;
        const TimeLayer decade = *DecadeLayer(man, 3);
        QCOMPARE(line->text(), QString::fromStdString(LayerCaption(decade)) + QStringLiteral("　") +
                                   QString::fromUtf8(kStemNames[decade.stem].data(), 3) + QStringLiteral("干：") +
                                   QString::fromStdString(LayerTransformsText(man, decade)));
        QVERIFY(line->text().contains(QStringLiteral("化禄 ")));
        QCOMPARE(Text("KounMemo"), memo);
        CastChart();  // a new chart: no period selected, nothing shown
        QVERIFY(line->isHidden());
        check->setChecked(false);
    }

    // The overall print action walks the tabs as the print module does: with
    // PrnCheck every tab is selected and composed in turn, 福徳宮 last.
    void printAllTwelvePalaces() {
        CastChart();
        QStringList printed;
        auto* kekka = Find<TabButtonRow>("Kekka");
        ReadingPages& pages = w_->Readings();
        ReadingPages::PrintActions actions;
        actions.overall = [&] {
            if (!pages.PrnCheck->isChecked()) {
                printed << Text("hlp12Memo").section('\n', 0, 0);
                return;
            }
            for (int t = 0; t < kPalaces; ++t) {
                Find<QPlainTextEdit>("hlp12Memo")->clear();
                pages.SelectPalaceTab(t);
                printed << Text("hlp12Memo").section('\n', 0, 0);
            }
        };
        pages.SetPrintActions(actions);

        QTest::mouseClick(kekka->button(3), Qt::LeftButton);
        QTest::mouseClick(Find<QPushButton>("printbtn2"), Qt::LeftButton);
        QCOMPARE(printed, QStringList({"■夫妻宮で何が分かるか？の説明"}));

        printed.clear();
        Find<QCheckBox>("PrnCheck")->setChecked(true);
        QTest::mouseClick(Find<QPushButton>("printbtn2"), Qt::LeftButton);
        QStringList expected;
        for (const QString& p : PalaceNames()) expected << "■" + p + "で何が分かるか？の説明";
        QCOMPARE(printed, expected);          // tab 3 was already selected and is composed all the same
        QCOMPARE(kekka->currentIndex(), 11);  // 福徳宮 stays selected
    }

    void printButtonsWithoutAPrintModuleSaySo() {
        w_->Readings().SetPrintActions({});
        for (const char* button : {"printbtn2", "kounprintbtn", "aisyobtn"}) {
            sink_.messages.clear();
            QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton);
            QCOMPARE(sink_.messages.size(), 1);
        }
    }

    void marriageRulesWindow() {
        ApplicationWindows windows(*w_);
        QTest::mouseClick(Find<QPushButton>("kekkonbtn"), Qt::LeftButton);
        Tkekkonfrm* rules = nullptr;
        for (QWidget* t : QApplication::topLevelWidgets())
            if (auto* k = qobject_cast<Tkekkonfrm*>(t)) rules = k;
        QVERIFY(rules);
        QVERIFY(rules->isVisible());
        QCOMPARE(rules->windowTitle(), QString("Zelvara合婚法則一覧"));
        QCOMPARE(rules->SG->rowCount(), 21);
        QCOMPARE(rules->SG->columnCount(), 3);
        const int widths[] = {64, 225, 274};
        for (int c = 0; c < 3; ++c) QCOMPARE(rules->SG->columnWidth(c), widths[c]);
        const struct {
            int row;
            const char* cells[3];
        } rows[] = {
            {0, {"命宮の主星", "　人としての特徴", "　ふさわしい相手の命宮の主星"}},
            {1, {"紫薇星", "尊貴・皇太子", "◎天相星・天府星 △武曲星・七殺星"}},
            {3, {"太陽星", "勇気・迫力・公明盛大", "◎太陰星・紫薇星・天同星・天相星　"}},
            {7, {"天府星", "才能・慈愛・富", "◎紫薇星・太陽星　×天梁星　破軍星・七殺星"}},
            {15, {"炎星", "素早い行動・即決主義", "◎貪狼星　×破軍星"}},
            {20, {"陀羅星", "残忍・冷徹・勇敢", "◎パートナー探しは大困難（文曲・文昌）"}},
        };
        for (const auto& r : rows)
            for (int c = 0; c < 3; ++c) QCOMPARE(rules->SG->item(r.row, c)->text(), QString::fromUtf8(r.cells[c]));
        QTest::mouseClick(rules->closebtn, Qt::LeftButton);
        QVERIFY(!rules->isVisible());
        QTest::mouseClick(Find<QPushButton>("kekkonbtn"), Qt::LeftButton);  // the same window again
        QVERIFY(rules->isVisible());
        QCOMPARE(rules->SG->item(1, 0)->text(), QString("紫薇星"));
    }
    // Reading-text edits still pending when the program quits are saved;
    // those that cannot be are dropped with a message, never unsaid.
    void quittingSavesReadingTextEdits() {
        ApplicationWindows windows(*w_);
        ReadingTables& tables = w_->Readings().Tables();
        QVERIFY(tables.hosiImi().SetValue(0, "駅馬星", "終わる前に書いた文"));
        QVERIFY(tables.ai01().SetValue(0, "天機星", "書けない😀"));
        QVERIFY(QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit", Qt::DirectConnection));
        QVERIFY(!tables.HasPendingEdits());
        QCOMPARE(sink_.messages.size(), 2);
        QVERIFY2(sink_.messages[0].contains("Ai01.DB") && sink_.messages[0].contains("天機星"),
                 qPrintable(sink_.messages[0]));
        QVERIFY2(sink_.messages[1].contains("破棄"), qPrintable(sink_.messages[1]));
        RecordingSink quiet;
        ReadingTables fresh(quiet);
        fresh.Open(home_->path(), {});
        QCOMPARE(*fresh.hosiImi().Value(0, "駅馬星"), QStringLiteral("終わる前に書いた文"));
        QVERIFY(!fresh.ai01().Value(0, "天機星")->contains("😀"));
    }
};

QTEST_MAIN(TestReadingPages)
#include "tst_reading_pages.moc"
