// The print buttons of the main window, with no printer installed: every
// print goes to the PDF file the user is asked for, carries the footer as
// stored now, and prints what the pages show.
#include "main/app_windows.h"
#include "main/help_topics.h"
#include "main/main_window.h"
#include "main/reading_pages.h"
#include "main/report_window.h"
#include "main/tab_button_row.h"
#include "register/person_fields.h"
#include "store/convention_profiles.h"
#include "store/settings_file.h"
#include "tests/main/main_window_fixture.h"
#include "tests/print/file_size_limit.h"
#include "tests/print/pdf_words.h"
#include "tests/recording_sink.h"
#include "windows/settings_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace zelvara;
using pdftest::Find;
using pdftest::ReadPdf;

class TestPrintButtons : public QObject {
    Q_OBJECT
private:
    QTemporaryDir home_;
    QTemporaryDir out_;
    RecordingSink sink_;
    std::unique_ptr<TMainForm1> w_;
    QStringList asked_;  // documents the PDF file was asked for
    int files_ = 0;

    template <typename T>
    T* Control(const char* name) {
        return w_->findChild<T*>(QString::fromLatin1(name));
    }
    void Click(const char* button) { Control<QPushButton>(button)->click(); }
    QString Ini() const { return home_.filePath(QStringLiteral("zelv.ini")); }
    // The file the n-th document of the last print went to.
    QString Printed(int n = 1) const {
        return NumberedPdfPath(out_.filePath(QStringLiteral("print%1.pdf").arg(files_)), n);
    }

private slots:
    void initTestCase() {
        const QDir data(qEnvironmentVariable("ZELVARA_DATA_DIR"));
        for (const QString& f : data.entryList({"*.bmp", "*.eto"}, QDir::Files))
            QFile::copy(data.filePath(f), home_.filePath(f));
        QFile ini(Ini());
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[sound]\r\ncheck=False\r\n");
        ini.close();
        w_ = testing::StartMainWindow(sink_, testing::QuietStartup(home_.path()));
        if (w_->PrintModule().HasPrinter()) QSKIP("a printer is installed here; these prints would go to it");
        w_->PrintModule().SetPdfChooser([this](const QString& document) {
            asked_ << document;
            return out_.filePath(QStringLiteral("print%1.pdf").arg(++files_));
        });
    }
    void cleanupTestCase() { w_.reset(); }
    void init() {
        asked_.clear();
        sink_.messages.clear();
    }

    // Before a chart the sheet is refused, and nobody is asked for a file.
    void chartSheetBeforeAChart() {
        Click("printbtn1");
        QCOMPARE(sink_.messages, QStringList{QStringLiteral("鑑定ボタンを最初に行ってください。")});
        QVERIFY(asked_.isEmpty());
        QVERIFY(!QApplication::overrideCursor());
    }

    void castAChart() {
        PersonTable& t = w_->Persons();
        t.Append();
        t.SetValue(kFieldName, QStringLiteral("鈴木一子"));
        t.SetValue(kFieldYear, QStringLiteral("1965"));
        t.SetValue(kFieldMonth, QStringLiteral("3"));
        t.SetValue(kFieldDay, QStringLiteral("7"));
        t.SetValue(kFieldTime, QStringLiteral("07:00-09:00"));
        t.SetValue(kFieldSex, QStringLiteral("女"));
        t.Post();
        Click("btnOk");
        QVERIFY(w_->Session().HasChart());
        sink_.messages.clear();
    }

    // The sheet and, with グラフも印刷する, the bar chart; the footer as the
    // settings file holds it at the moment of printing.
    void chartSheetAndGraph() {
        QFile ini(Ini());
        QVERIFY(ini.open(QIODevice::Append));
        ini.write("[owner]\r\ntitle=\x90\xaf\x93\xc7\x82\xdd\x8a\xd9\r\ntel=045-111-2222\r\n");  // 星読み館
        ini.close();
        Click("printbtn1");
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('|')));
        QCOMPARE(asked_, QStringList{QStringLiteral("出生図")});
        auto page = ReadPdf(Printed()).value(0);
        QCOMPARE(pdftest::Count(page, QStringLiteral("*命宮")), 1);
        QVERIFY(Find(page, QStringLiteral("鈴木一子")) && Find(page, QStringLiteral("女命")));
        QVERIFY(Find(page, QStringLiteral("07:00-09:00")));
        QVERIFY(Find(page, QStringLiteral("(著作)星読み館")) && Find(page, QStringLiteral("045-111-2222")));
        QVERIFY(!QFile::exists(Printed(2)));

        Control<QCheckBox>("GraphCheck")->setChecked(true);
        Click("printbtn1");
        QCOMPARE(asked_.size(), 2);  // one file asked for, the graph its second page
        QVERIFY(!QFile::exists(Printed(2)));
        QVERIFY(pdftest::Has(ReadPdf(Printed()).value(1), QStringLiteral("【出生図における１２宮の特徴を分析】")));
        Control<QCheckBox>("GraphCheck")->setChecked(false);
        QVERIFY(!QApplication::overrideCursor());
    }

    // The sheet carries the layer chosen on the chart page; the 飛星 button
    // prints the table with it.
    void layerOnSheetAndFlyingTable() {
        QComboBox* kind = Control<QComboBox>("layerKind");
        QComboBox* entry = Control<QComboBox>("layerEntry");
        QVERIFY(kind && entry);
        kind->setCurrentText(QStringLiteral("流年"));
        entry->setCurrentIndex(entry->findText(QStringLiteral("2027 "), Qt::MatchStartsWith));
        Click("printbtn1");
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('|')));
        const auto sheet = ReadPdf(Printed()).value(0);
        QVERIFY(Find(sheet, QStringLiteral("流年2027（丁未）")));
        QCOMPARE(pdftest::Count(sheet, QStringLiteral("年命")), 1);
        QVERIFY(!Find(sheet, QStringLiteral("戊子")));  // no palace stems unless they are shown

        Click("flyingPrintBtn");
        QCOMPARE(asked_.last(), QStringLiteral("飛星表"));
        const auto table = ReadPdf(Printed()).value(0);
        QVERIFY(Find(table, QStringLiteral("【飛星表】")));
        QVERIFY(Find(table, QStringLiteral("【流年2027（丁未）の四化】")));
        QVERIFY(pdftest::Has(table, QStringLiteral("生年月日："), true));

        // The chart handed over: as Markdown with the layer shown, and as a
        // 1080×1350 picture, both on the clipboard.
        w_->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
        testing::Snapshot(w_.get(), QStringLiteral("chart-page-hand-over"));
        Click("textCopyBtn");
        const QString text = QGuiApplication::clipboard()->text();
        QVERIFY2(text.startsWith(QStringLiteral("# 出生図　鈴木一子\n")), qPrintable(text.left(80)));
        QVERIFY(text.contains(QStringLiteral("\n## 流年2027（丁未）\n")));
        QCOMPARE(text.count(QStringLiteral("\n| 年")), 12);
        Click("pictureCopyBtn");
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(1080, 1350));
        // 画像で保存: the size chosen from the menu, the file offered under
        // the client's name.
        const QString picture = out_.filePath(QStringLiteral("picture.png"));
        QString offered;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            auto* name = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
            if (!name || !name->isVisible()) return;
            answer.stop();
            offered = name->text();
            name->setText(picture);
            QTest::keyClick(name, Qt::Key_Return);
        });
        answer.start(20);
        QMenu* sizes = Control<QMenu>("pictureSizeMenu");
        QVERIFY(sizes && sizes->actions().size() == 4);
        sizes->actions().at(0)->trigger();  // PNG 1080×1080
        answer.stop();
        QCOMPARE(offered, QStringLiteral("出生図_鈴木一子.png"));
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('|')));
        QCOMPARE(QImage(picture).size(), QSize(1080, 1080));
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('|')));
        kind->setCurrentText(QStringLiteral("本命"));
        Click("printbtn1");
        const auto plain = ReadPdf(Printed()).value(0);
        QVERIFY(!Find(plain, QStringLiteral("年命")));
    }

    // 「宮干を表示」: the sheet prints the stems the page shows; zelv.ini
    // keeps the choice once the reader changes it, not before.
    void palaceStemsOnTheSheetAndRemembered() {
        QCheckBox* stems = Control<QCheckBox>("palaceStems");
        QToolButton* rat = Control<QToolButton>("ne0");
        QVERIFY(stems && rat && !stems->isChecked());
        const auto remembered = [this] {
            return SettingsFile(Ini()).Read(QStringLiteral("chart"), QStringLiteral("stems"), {});
        };
        QVERIFY(remembered().isEmpty());
        // 乙巳 year: 寅 takes 戊, and 子 the stem after 亥's 丁.
        stems->click();
        QCOMPARE(remembered(), QStringLiteral("True"));
        QCOMPARE(rat->text(), QStringLiteral("戊子"));
        Click("printbtn1");
        const auto withStems = ReadPdf(Printed()).value(0);
        QVERIFY(Find(withStems, QStringLiteral("戊子")));
        stems->click();
        QCOMPARE(remembered(), QStringLiteral("False"));
        QCOMPARE(rat->text(), QStringLiteral("子"));
        Click("printbtn1");
        const auto without = ReadPdf(Printed()).value(0);
        QVERIFY(!Find(without, QStringLiteral("戊子")));
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('|')));
    }

    // 12宮全部印刷: twelve documents, each palace composed before it is
    // printed, and 福徳宮 selected at the end.
    void overallReadingOfEveryPalace() {
        w_->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(2);
        Control<QCheckBox>("PrnCheck")->setChecked(true);
        Click("printbtn2");
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('|')));
        QCOMPARE(asked_.size(), 1);
        const QStringList palaces = {"父母宮", "命宮",   "兄弟宮", "夫妻宮", "子女宮", "財帛宮",
                                     "疾厄宮", "遷移宮", "奴僕宮", "官禄宮", "田宅宮", "福徳宮"};
        for (int n = 1; n <= 12; ++n) {
            const auto page = ReadPdf(Printed(n)).value(0);
            QVERIFY2(Find(page, QStringLiteral("【") + palaces[n - 1] + QStringLiteral("の診断】")),
                     qPrintable(Printed(n)));
        }
        QVERIFY(!QFile::exists(Printed(13)));
        QCOMPARE(w_->Readings().Kekka->currentIndex(), 11);
        // What the memos show now is 福徳宮's reading, as printed last.
        const QString first = w_->Readings().hlp12Memo->toPlainText().section(QLatin1Char('\n'), 0, 0);
        QVERIFY(!first.isEmpty());
        QVERIFY(pdftest::Has(ReadPdf(Printed(12)).value(0), first.section(QLatin1Char(' '), 0, 0), true));
        Control<QCheckBox>("PrnCheck")->setChecked(false);
    }

    // The luck and marriage pages print what their memos show.
    void luckAndMarriage() {
        w_->Readings().daiuntab->setCurrentIndex(2);
        const QString memo = w_->Readings().KounMemo->toPlainText();
        QVERIFY(!memo.isEmpty());
        Click("kounprintbtn");
        auto page = ReadPdf(Printed()).value(0);
        QVERIFY(Find(page, QStringLiteral("【行運の診断】")));
        const pdftest::Word* firstLine =
            Find(page, memo.section(QLatin1Char('\n'), 0, 0).section(QLatin1Char(' '), 0, 0), true);
        QVERIFY2(firstLine && std::abs(firstLine->x - 20) < 0.5 && std::abs(firstLine->y - 30) < 0.5,
                 qPrintable(memo.section(QLatin1Char('\n'), 0, 0)));

        w_->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(4);
        Click("aisyobtn");
        page = ReadPdf(Printed()).value(0);
        QVERIFY(Find(page, QStringLiteral("【好きな異性・結婚にふさわしい相手】")));
        QVERIFY(Find(page, QStringLiteral("【秘伝")));
        QVERIFY(!QApplication::overrideCursor());
    }

    // A chart cast by a profile other than 標準 names it above the footer of
    // every print of the chart (the sheet, the 飛星表, the readings), in its
    // picture and its Markdown; cast again by 標準 the prints are what they
    // were, pixel for pixel.
    void profileOnEveryChartPrint() {
        const auto sheetRaster = [this] {
            Click("printbtn1");
            return pdftest::Raster(Printed(), 1, 100);
        };
        const auto picture = [this] {
            Click("pictureCopyBtn");
            return QGuiApplication::clipboard()->image();
        };
        const auto anyLine = [this] {
            return pdftest::PageText(ReadPdf(Printed()).value(0)).contains(QStringLiteral("四化 戊科"));
        };
        const QImage standardSheet = sheetRaster();
        QVERIFY(!anyLine());
        const QImage standardPicture = picture();
        QVERIFY(!standardSheet.isNull() && !standardPicture.isNull());

        // The settings' default profile casts the chart.
        ConventionProfile shiun{"紫雲", {}};
        shiun.conventions.transforms.wu = WuTransform::kUbitsu;
        SettingsFile settings(Ini());
        QVERIFY(SaveConventionProfile(settings, shiun));
        QVERIFY(SaveDefaultConventionProfile(settings, QStringLiteral("紫雲")));
        Click("btnOk");
        QVERIFY(w_->Session().HasChart());
        const QString line = QStringLiteral(
            "紫雲：命宮 節月・年 立春・23時 当日・旧暦 135°E・四化 戊科右弼 庚科天府 壬科天府・補正 なし");
        const auto printsLine = [&](const char* button) {
            Click(button);
            const QString text = pdftest::PageText(ReadPdf(Printed()).value(0));
            return text.contains(line) && text.contains(QStringLiteral("(著作)"));
        };
        for (const char* button : {"printbtn1", "flyingPrintBtn", "kounprintbtn", "aisyobtn"})
            QVERIFY2(printsLine(button), button);
        w_->Readings().printbtn2->click();
        QVERIFY(pdftest::PageText(ReadPdf(Printed()).value(0)).contains(line));
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('|')));
        QVERIFY(picture() != standardPicture);
        Click("textCopyBtn");
        QVERIFY(QGuiApplication::clipboard()->text().contains(QStringLiteral("- 流派の設定：") + line));
        // The 鑑定書 names the profile on its cover's 流派 line.
        Click("reportBtn");
        auto* report = w_->findChild<ReportWindow*>(QStringLiteral("reportWindow"));
        QVERIFY(report);
        const QString reportPdf = out_.filePath(QStringLiteral("profile-report.pdf"));
        report->SetFileChooser([&](const QString&) { return reportPdf; });
        QVERIFY(report->Save());
        report->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const auto cover = ReadPdf(reportPdf).value(0);
        QVERIFY2(pdftest::Has(cover, QStringLiteral("流派：紫雲")), qPrintable(pdftest::PageText(cover)));
        QCOMPARE(pdftest::Count(cover, QStringLiteral("紫雲：命宮")), 2);  // under 流派 and above the footer
        if (qEnvironmentVariableIsSet("ZELVARA_SCREENSHOT_DIR"))
            sheetRaster().save(QDir(qEnvironmentVariable("ZELVARA_SCREENSHOT_DIR")).filePath("sheet-profile.png"));

        QVERIFY(SaveDefaultConventionProfile(settings, QStringLiteral("標準")));
        Click("btnOk");
        QCOMPARE(sheetRaster(), standardSheet);
        QVERIFY(!anyLine());
        QCOMPARE(picture(), standardPicture);
        QVERIFY(!printsLine("kounprintbtn"));
    }

    // A print whose PDF file cannot be written whole (the disk fills up) is
    // said to have failed, naming the file, and the older file of that name
    // stays byte for byte.
    void failedWriteIsSaid() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("full.pdf"));
        QVERIFY(pdftest::WriteOlderFile(path));
        w_->PrintModule().SetPdfChooser([&](const QString&) { return path; });
        {
            const pdftest::FileSizeLimit full(4096);
            QVERIFY(full.IsSet());
            Click("kounprintbtn");
        }
        QCOMPARE(sink_.messages.size(), 1);
        QVERIFY2(sink_.messages.first().contains(path), qPrintable(sink_.messages.first()));
        QCOMPARE(pdftest::FileBytes(path), pdftest::OlderFileBytes());
        QCOMPARE(pdftest::FilesIn(folder.path()), QStringList{QStringLiteral("full.pdf")});
        QVERIFY(!QApplication::overrideCursor());
    }

    // A cancelled file dialog prints nothing and says nothing.
    void cancelledFileDialog() {
        w_->PrintModule().SetPdfChooser([](const QString&) { return QString(); });
        Click("kounprintbtn");
        QVERIFY(sink_.messages.isEmpty());
        QVERIFY(!QApplication::overrideCursor());
    }

    // 環境設定 opens the settings window with the main window's caption.
    // 「鑑定書…」: the chart and its graph ticked the first time, the preview's
    // page count, the file offered as 鑑定書_<氏名>_<date>.pdf, the pages
    // ticked remembered for the next report and the folder used last.
    void reportWindowRemembersItsPages() {
        const auto open = [this]() -> ReportWindow* {
            Click("reportBtn");
            return w_->findChild<ReportWindow*>(QStringLiteral("reportWindow"));
        };
        ReportWindow* window = open();
        QVERIFY(window);
        Control<QTabWidget>("PageControl1")->setCurrentWidget(Control<QWidget>("syuseizu"));
        testing::Snapshot(w_.get(), QStringLiteral("chart_page_report_button"));
        auto* list = window->findChild<QListWidget*>(QStringLiteral("reportPages"));
        QStringList ticked;
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->checkState() == Qt::Checked) ticked << list->item(i)->text();
        QCOMPARE(ticked, (QStringList{QStringLiteral("出生図"), QStringLiteral("宮の強さのグラフ")}));
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("reportStatus"))->text(),
                 QStringLiteral("表紙を含めて 3 ページ"));
        list->findItems(QStringLiteral("飛星表"), Qt::MatchExactly).value(0)->setCheckState(Qt::Checked);
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("reportStatus"))->text(),
                 QStringLiteral("表紙を含めて 4 ページ"));
        window->resize(1000, 760);
        testing::Snapshot(window, QStringLiteral("report_window"));
        // F1 anywhere in the window finds the 鑑定書 topic.
        QCOMPARE(HelpAnchorOf(list), QStringLiteral("topic20"));
        QCOMPARE(HelpAnchorOf(w_->findChild<QWidget*>(QStringLiteral("reportBtn"))), QStringLiteral("topic20"));
        QString offered;
        const QString path = out_.filePath(QStringLiteral("report/鑑定書.pdf"));
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        window->SetFileChooser([&](const QString& name) {
            offered = name;
            return path;
        });
        QVERIFY(window->Save());
        QCOMPARE(
            QFileInfo(offered).fileName(),
            QStringLiteral("鑑定書_鈴木一子_%1.pdf").arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))));
        const auto pages = ReadPdf(path);
        QCOMPARE(pages.size(), 4);
        QVERIFY(pdftest::Has(pages[3], QStringLiteral("【飛星表】"), true));
        QVERIFY(pdftest::PageText(pages[3]).contains(QStringLiteral("4 / 4")));
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        window = open();
        QVERIFY(window);
        list = window->findChild<QListWidget*>(QStringLiteral("reportPages"));
        QCOMPARE(list->findItems(QStringLiteral("飛星表"), Qt::MatchExactly).value(0)->checkState(), Qt::Checked);
        window->SetFileChooser([&](const QString& name) {
            offered = name;
            return QString();
        });
        QVERIFY(!window->Save());
        QCOMPARE(QFileInfo(offered).absolutePath(), QFileInfo(path).absolutePath());
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void settingsWindowFromPassbtn() {
        const Tprintmodule* own = &w_->PrintModule();
        ApplicationWindows windows(*w_);
        QVERIFY(&w_->PrintModule() != own);  // the windows' print module serves the main window
        Click("passbtn");
        TCunstomFrm* settings = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* s = qobject_cast<TCunstomFrm*>(top)) settings = s;
        QVERIFY(settings && settings->isVisible());
        QCOMPARE(settings->findChild<QLabel*>(QStringLiteral("ttlname"))->text(),
                 QStringLiteral("Zelvaraプロ版Version3.1"));
        QCOMPARE(settings->findChild<QLineEdit*>(QStringLiteral("titlebox"))->text(), QStringLiteral("星読み館"));
        settings->close();
    }
};

QTEST_MAIN(TestPrintButtons)
#include "tst_print_buttons.moc"
