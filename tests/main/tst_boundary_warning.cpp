// 「境界注意」 on the chart page: shown after a cast only with the setting on
// and a boundary alternative kept; its window lists the alternatives with
// their reasons, shows the chosen one beside the chart with the differences,
// offers the neighbouring periods of a birth known only by its period, and
// prints the comparison.
#include "main/birth_time_dialog.h"
#include "main/chart_comparison_window.h"
#include "main/chart_page.h"
#include "main/data_input_page.h"
#include "main/help_topics.h"
#include "main/main_window.h"
#include "print/print_module.h"
#include "store/boundary_warnings.h"
#include "store/convention_profiles.h"
#include "tests/main/main_window_fixture.h"
#include "tests/recording_sink.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvara;
using zelvara::testing::Person;

class TestBoundaryWarning : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> home_;
    RecordingSink sink_;
    std::unique_ptr<TMainForm1> w_;

    void Start(const Person& person, bool warnings) {
        w_.reset();
        home_ = testing::ProgramFolder({"*.bmp", "*.eto", "birthplaces.txt", "gazetteer.txt"});
        w_ = testing::StartMainWindow(sink_, testing::QuietStartup(home_->path()));
        testing::AddPeople(w_->Persons(), {person});
        if (warnings)
            QVERIFY(SettingsFile(w_->SettingsPath())
                        .Write(kBoundaryWarningsSection, kBoundaryWarningsKey, QStringLiteral("1")));
        sink_ = RecordingSink();
    }
    template <typename T>
    T* Find(const char* name) {
        return w_->findChild<T*>(QString::fromLatin1(name));
    }
    void EnterTime(const QString& time) {
        w_->DataPage().SetBirthTimeDialogHook([&](BirthTimeDialog& d) {
            d.findChild<QLineEdit*>(QStringLiteral("timeedit"))->setText(time);
            auto* places = d.findChild<QComboBox*>(QStringLiteral("placebox"));
            places->setCurrentIndex(places->findText(QStringLiteral("北海道 札幌市")));
            d.findChild<QPushButton*>(QStringLiteral("savebtn"))->click();
        });
        Find<QPushButton>("birthTimeBtn")->click();
    }
    void Cast() {
        Find<QPushButton>("btnOk")->click();
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('\n')));
        QVERIFY(w_->Session().HasChart());
    }
    bool Warned() { return !Find<QPushButton>("boundaryBtn")->isHidden(); }
    ChartComparisonWindow* OpenWindow() {
        Find<QPushButton>("boundaryBtn")->click();
        return qobject_cast<ChartComparisonWindow*>(testing::TopLevel("chartComparisonWindow"));
    }
    static QStringList Rows(QListWidget* list) {
        QStringList rows;
        for (int i = 0; i < list->count(); ++i) rows << list->item(i)->text();
        return rows;
    }

private slots:
    void cleanup() {
        if (QWidget* window = testing::TopLevel("chartComparisonWindow")) delete window;
        w_.reset();
    }

    // 06:58 (no correction), two minutes before 辰: the warning, the
    // neighbouring period first, its differences, and the print on one page.
    void exactTimeNearAPeriodBoundary() {
        Start({"境界", "1965", "3", "17", "05:00-07:00", "男"}, true);
        EnterTime(QStringLiteral("06:58"));
        Cast();
        QVERIFY(Warned());
        testing::Snapshot(w_.get(), QStringLiteral("boundary_chart_page"));
        ChartComparisonWindow* window = OpenWindow();
        QVERIFY(window);
        QVERIFY(window->isModal() || window->windowModality() == Qt::WindowModal);
        const ChartAlternative& first = window->Alternatives().front();
        QCOMPARE(QString::fromStdString(first.reason), QStringLiteral("出生が 06:58、卯と辰の境から 2 分"));
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("reasonLabel"))->text(),
                 QStringLiteral("境界注意：出生が 06:58、卯と辰の境から 2 分"));
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("chartCaption"))->text(),
                 QStringLiteral("この出生図（卯の刻）"));
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("alternativeCaption"))->text(),
                 QStringLiteral("別の読み（辰の刻）"));
        const QStringList rows = Rows(window->findChild<QListWidget*>(QStringLiteral("alternativeList")));
        QCOMPARE(rows.value(0), QStringLiteral("境界に近い出生"));
        // The switch alternatives, if any, come after their heading.
        for (const ChartAlternative& a : window->Alternatives())
            if (!a.boundary)
                QVERIFY(rows.indexOf(QStringLiteral("他の規則では")) < rows.indexOf(QString::fromStdString(a.reason)));
        const QStringList differences = Rows(window->findChild<QListWidget*>(QStringLiteral("differenceList")));
        QVERIFY2(differences.value(0).startsWith(QStringLiteral("命宮 ")), qPrintable(differences.join('|')));
        QCOMPARE(differences.size(), int(first.differences.size()));
        QVERIFY(!window->findChild<QCheckBox*>(QStringLiteral("neighbourCheck"))->isEnabled());  // a time is known
        // The context gives the chart held back its record.
        QCOMPARE(w_->Context().man.starBranch, w_->Session().Man().starBranch);
        testing::Snapshot(window, QStringLiteral("boundary_comparison_window"));
        // F1 on the button and anywhere in the window finds the topic.
        QCOMPARE(HelpAnchorOf(Find<QPushButton>("boundaryBtn")), QStringLiteral("topic22"));
        QCOMPARE(HelpAnchorOf(window->findChild<QWidget*>(QStringLiteral("differenceList"))),
                 QStringLiteral("topic22"));

        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("comparison.pdf"));
        w_->PrintModule().SetPdfChooser([&](const QString&) { return pdf; });
        if (w_->PrintModule().HasPrinter()) QSKIP("a printer is installed here; the print would go to it");
        window->findChild<QPushButton*>(QStringLiteral("printBtn"))->click();
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('\n')));
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(30000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(printed.contains(QStringLiteral("境界注意：出生が 06:58、卯と辰の境から 2 分")) &&
                     printed.contains(differences.value(0)),
                 qPrintable(printed));
    }

    // The same birth with the setting off: today's chart page.
    void settingOffShowsNothing() {
        Start({"境界", "1965", "3", "17", "05:00-07:00", "男"}, false);
        EnterTime(QStringLiteral("06:58"));
        Cast();
        QVERIFY(!Warned());
    }

    // On the day of 立春 (2024-02-04, entered in the 酉 period), a 申 birth:
    // the other side of the entry; for a birth known only by its period the
    // window adds both neighbouring periods on request.
    void birthOnTheDayOfRisshun() {
        Start({"立春", "2024", "2", "4", "15:00-17:00", "女"}, true);
        Cast();
        QVERIFY(Warned());
        ChartComparisonWindow* window = OpenWindow();
        QVERIFY(window);
        const ChartAlternative& first = window->Alternatives().front();
        QCOMPARE(QString::fromStdString(first.changes), QStringLiteral("term"));
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("reasonLabel"))->text(),
                 QStringLiteral("境界注意：2月の節入り（4日 酉の刻）の当日の出生：節入り後とした場合"));
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("alternativeCaption"))->text(),
                 QStringLiteral("別の読み（節入り後）"));
        const QStringList differences = Rows(window->findChild<QListWidget*>(QStringLiteral("differenceList")));
        QVERIFY2(differences.filter(QStringLiteral("化禄 ")).size() == 1, qPrintable(differences.join('|')));
        auto* neighbours = window->findChild<QCheckBox*>(QStringLiteral("neighbourCheck"));
        QVERIFY(neighbours->isEnabled());
        const auto hours = [window] {
            QStringList values;
            for (const ChartAlternative& a : window->Alternatives())
                if (a.changes == "hour") values << QString::fromStdString(a.value);
            return values;
        };
        QVERIFY(hours().isEmpty());
        neighbours->setChecked(true);
        QCOMPARE(hours(), (QStringList{QStringLiteral("13:00-15:00"), QStringLiteral("17:00-19:00")}));
        // The alternative shown stays the one chosen.
        QCOMPARE(window->Shown().alternativeCaption, QStringLiteral("別の読み（節入り後）"));
        testing::Snapshot(window, QStringLiteral("boundary_risshun_window"));
    }

    // A chosen profile's line and the button share the space under the boxes.
    void profileLineBesideTheButton() {
        Start({"立春", "2024", "2", "4", "15:00-17:00", "女"}, true);
        SettingsFile settings(w_->SettingsPath());
        QVERIFY(SaveConventionProfile(settings, {"旧暦月派", *ParseConventionsText("palace-month=lunar")}));
        QVERIFY(SaveDefaultConventionProfile(settings, QStringLiteral("旧暦月派")));
        Cast();
        QVERIFY(Warned());
        auto* line = Find<QLabel>("conventionsLine");
        QVERIFY(!line->isHidden());
        QVERIFY(!line->geometry().intersects(Find<QPushButton>("boundaryBtn")->geometry()));
        QVERIFY(line->fontMetrics().horizontalAdvance(line->text()) <= line->width());
        testing::Snapshot(w_.get(), QStringLiteral("boundary_with_profile_line"));
    }

    // Far from every boundary: no warning, whatever the switches would change.
    void ordinaryBirthNoWarning() {
        Start({"平常", "2020", "8", "10", "11:00-13:00", "男"}, true);
        Cast();
        QVERIFY(!Warned());
    }
};

QTEST_MAIN(TestBoundaryWarning)
#include "tst_boundary_warning.moc"
