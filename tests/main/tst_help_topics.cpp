// F1 help by window: every window the program shows and every page of the
// main window has a topic of its own, each topic's anchor is in the shipped
// help, and F1 in a window, a page, the layer picker or a door of the
// settings window opens the help at that topic.
#include "main/app_windows.h"
#include "main/birth_time_dialog.h"
#include "main/data_input_page.h"
#include "main/help_topics.h"
#include "main/help_window.h"
#include "main/main_window.h"
#include "main/paradox_window.h"
#include "main/register_csv_window.h"
#include "tests/main/main_window_fixture.h"
#include "tests/recording_sink.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <functional>
#include <memory>

using namespace zelvara;
using zelvara::testing::TopLevel;

namespace {

QString DataDir() { return qEnvironmentVariable("ZELVARA_DATA_DIR"); }

// The settings window's doors, which have topics of their own without being windows.
// reportWindow opens only over a cast chart; print_buttons checks its F1;
// chartComparisonWindow only over a chart at a boundary, main_boundary_warning checks it.
const QStringList kDoorKeys{QStringLiteral("registerCsv"), QStringLiteral("registerParadox"),
                            QStringLiteral("textsParadox"), QStringLiteral("reportWindow"),
                            QStringLiteral("chartComparisonWindow")};

// The anchor the help window of `widget`'s window shows after F1 pressed in
// `widget`; empty when no help window opened.
QString AnchorAfterF1(QWidget* widget) {
    QTest::keyClick(widget, Qt::Key_F1);
    QWidget* window = widget->window();
    while (window->windowType() == Qt::Popup && window->parentWidget()) window = window->parentWidget()->window();
    auto* help = window->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!help || !help->isVisible()) return {};
    return QUrl(help->ShownSource()).fragment();
}

// A window of the program's own making, as opposed to Qt's boxes and
// dialogs (which answer for the window they belong to) and the help itself.
bool OwnWindow(const QString& className, const QString& name) {
    if (className == QLatin1String("zelvara::HelpWindow")) return false;
    if (!className.startsWith(QLatin1Char('Q'))) return true;
    return !name.isEmpty() && !name.startsWith(QLatin1Char('Q')) && !name.startsWith(QLatin1String("qt_"));
}

// Every window shown while it lives, with the topic F1 opened in it: a
// modal window is answered with F1 and closed as soon as it shows.
class ShownWindows : public QObject {
public:
    struct Shown {
        QString className;
        QString name;
        QPointer<QWidget> window;
        QString anchorAfterF1;  // for the modal ones
    };
    QList<Shown> windows;

    ShownWindows() { qApp->installEventFilter(this); }
    ~ShownWindows() override { qApp->removeEventFilter(this); }

    void Add(QWidget* w, const QString& anchorAfterF1 = {}) {
        for (Shown& s : windows) {
            if (s.window == w) {
                if (!anchorAfterF1.isEmpty()) s.anchorAfterF1 = anchorAfterF1;
                return;
            }
        }
        windows << Shown{QString::fromLatin1(w->metaObject()->className()), w->objectName(), w, anchorAfterF1};
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(watched);
        if (!w->isWindow()) return false;
        Add(w);
        const bool menu = qobject_cast<QMenu*>(w) != nullptr;
        if (w->isModal() || menu) {
            const qsizetype at = windows.size() - 1;
            QTimer::singleShot(0, w, [this, w, at, menu] {
                windows[at].anchorAfterF1 = AnchorAfterF1(w);
                if (auto* dialog = qobject_cast<QDialog*>(w); dialog && !menu)
                    dialog->reject();
                else
                    w->close();
            });
        }
        return false;
    }
};

}  // namespace

class TestHelpTopics : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> user_;
    RecordingSink sink_;
    std::unique_ptr<TMainForm1> w_;

    TMainForm1& Start(bool splash = false) {
        user_ = std::make_unique<QTemporaryDir>();
        StartupOptions o = testing::QuietStartup(DataDir());
        o.userFolder = user_->path();
        o.settingsPath = user_->filePath("zelv.ini");
        o.showSplash = splash;
        o.splashMilliseconds = 0;
        o.today = QDate(2026, 12, 8);
        w_ = testing::StartMainWindow(sink_, o, [](const QString&) { return false; });
        return *w_;
    }
    template <typename T>
    T* Find(QWidget* in, const char* name) {
        T* found = in->findChild<T*>(QString::fromLatin1(name));
        if (!found) qWarning("no control %s", name);
        return found;
    }
    void CastChart(const QString& hour) {
        testing::TypeAndCast(*w_, {QStringLiteral("試験"), "1965", "3", "7", hour, QStringLiteral("女")});
    }
    void Click(QWidget* in, const char* name) {
        if (auto* b = Find<QAbstractButton>(in, name)) b->click();
    }
    void ClickEveryButton(QWidget* in, const QStringList& except) {
        QVERIFY(in);
        for (QPushButton* b : in->findChildren<QPushButton*>()) {
            if (!except.contains(b->objectName()) && b->isVisibleTo(in) && b->isEnabled()) b->click();
        }
    }

private slots:
    void initTestCase() { QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9)); }
    void cleanup() { w_.reset(); }

    // The anchors of the table are in the shipped help, and its table of
    // contents names every topic.
    void everyTopicIsInTheShippedHelp() {
        QFile file(QDir(DataDir()).filePath("help/index.html"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        QSet<QString> anchors;
        static const QRegularExpression named(QStringLiteral("<h2 id=\"([^\"]+)\"><a name=\"([^\"]+)\"></a>"));
        for (const QRegularExpressionMatch& m : named.globalMatch(html)) {
            QCOMPARE(m.captured(1), m.captured(2));  // both ways of naming a place in the page agree
            anchors << m.captured(1);
        }
        QVERIFY(anchors.size() >= 15);
        for (const HelpTopic& t : HelpTopics()) QVERIFY2(anchors.contains(QString::fromLatin1(t.anchor)), t.anchor);
        const QString contents = html.section(QStringLiteral("目次："), 1).section(QStringLiteral("</p>"), 0, 0);
        for (const QString& a : anchors)
            QVERIFY2(contents.contains(QStringLiteral("href=\"#%1\"").arg(a)),
                     qPrintable(a + " is not in the contents"));
    }

    // Every window the program shows, opened as the user opens it, has its
    // own line in the table, and F1 in it opens the help at that topic.
    void everyWindowOpensItsOwnTopic() {
        ShownWindows shown;
        Start(true);  // with the splash
        ApplicationWindows windows(*w_);
        w_->show();
        QVERIFY(QTest::qWaitForWindowExposed(w_.get()));

        CastChart(QStringLiteral("不明の場合"));  // the hour window, closed without a choice
        CastChart(QStringLiteral("03:00-05:00"));
        QVERIFY(w_->Session().HasChart());
        // Every button of the bottom panel and of the settings window but
        // those that close them; file dialogs and menus are closed again.
        ClickEveryButton(Find<QWidget>(w_.get(), "Panel1"), {"endbtn"});
        Click(w_.get(), "kekkonbtn");  // 合婚法則一覧
        QWidget* settings = TopLevel("TCunstomFrm");
        QVERIFY(settings);
        ClickEveryButton(settings, {"BitBtn1"});
        QWidget* legends = TopLevel("Thelpbunfrm");
        QVERIFY(legends);
        for (const char* name : {"SpeedButton1", "SpeedButton2"}) Click(legends, name);
        w_->DataPage().SetBirthTimeDialogHook([&shown](BirthTimeDialog& d) {
            d.show();
            shown.Add(&d, AnchorAfterF1(&d));
            d.reject();
        });
        Click(w_.get(), "birthTimeBtn");
        // The palace menu of the chart page.
        auto* pages = Find<QTabWidget>(w_.get(), "PageControl1");
        pages->setCurrentWidget(Find<QWidget>(w_.get(), "syuseizu"));
        QWidget* palace = w_->Boxes()[0].palace;
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5), palace->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(palace, &rightClick);
        QTest::qWait(50);
        for (QWidget* top : QApplication::topLevelWidgets()) shown.Add(top);

        QStringList names;
        QSet<QString> keysSeen;
        // F1 below shows help windows, which join shown.windows: the loop
        // goes over the windows shown so far.
        const QList<ShownWindows::Shown> seen = shown.windows;
        for (const ShownWindows::Shown& s : seen) {
            if (!OwnWindow(s.className, s.name)) continue;
            names << s.className + QLatin1Char(' ') + s.name;
            keysSeen << s.name;
            const QString anchor = HelpAnchorOfKey(s.name);
            QVERIFY2(!anchor.isEmpty(),
                     qPrintable(QStringLiteral("%1 「%2」 has no help topic").arg(s.className, s.name)));
            if (s.name == QLatin1String("MainForm1")) continue;  // answers for its page, below
            if (s.name == QLatin1String("title")) continue;      // the splash is gone before a key can reach it
            const QString opened = s.anchorAfterF1.isEmpty() && s.window ? AnchorAfterF1(s.window) : s.anchorAfterF1;
            QVERIFY2(opened == anchor,
                     qPrintable(QStringLiteral("%1: F1 opened 「%2」, not 「%3」").arg(s.name, opened, anchor)));
        }
        // The windows the user opens above, each seen.
        for (const char* name : {"title",
                                 "MainForm1",
                                 "TCunstomFrm",
                                 "Ttimefrm",
                                 "Tmatorixfrm",
                                 "Thelpbunfrm",
                                 "Tsosikiin",
                                 "Tsosikisyu",
                                 "Tmannenfrm",
                                 "Tkekkonfrm",
                                 "Tdbenvfrm",
                                 "TkounDBfrm",
                                 "TAiDBfrm",
                                 "RegisterPlaceDialog",
                                 "DeletedRecordsFrm",
                                 "PrinterSetupDialog1",
                                 "BirthTimeDialog",
                                 "palaceMenu",
                                 "TAgendaFrm",
                                 "TNotesSearchFrm",
                                 "ConventionProfilesDialog"})
            QVERIFY2(keysSeen.contains(QString::fromLatin1(name)),
                     qPrintable(QStringLiteral("%1 not seen among %2").arg(name, names.join(", "))));

        // Each page of the main window has its own topic; F1 on the window
        // shows the topic of the page it shows.
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            const QString anchor = HelpAnchorOfKey(pages->widget(i)->objectName());
            QVERIFY2(!anchor.isEmpty(), qPrintable(pages->tabText(i) + " has no help topic"));
            QCOMPARE(AnchorAfterF1(w_.get()), anchor);
            keysSeen << pages->widget(i)->objectName();
        }
        // No line of the table names a window, page or control that no
        // longer exists (the doors' keys are checked with the doors).
        for (QWidget* control : w_->findChildren<QWidget*>()) keysSeen << control->objectName();
        for (const HelpTopic& t : HelpTopics()) {
            const QString key = QString::fromLatin1(t.key);
            QVERIFY2(keysSeen.contains(key) || kDoorKeys.contains(key),
                     qPrintable(key + " names nothing the program shows"));
        }
    }

    // On the main window: the data page, the chart page and its layer
    // picker, the reading pages, whichever control has the key.
    void mainWindowTopicsFollowThePageAndTheControl() {
        Start();
        w_->show();
        QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
        auto* pages = Find<QTabWidget>(w_.get(), "PageControl1");
        QCOMPARE(AnchorAfterF1(Find<QLineEdit>(w_.get(), "inName")), QStringLiteral("topic4"));
        QCOMPARE(AnchorAfterF1(Find<QPushButton>(w_.get(), "endbtn")),
                 QStringLiteral("topic4"));  // the bottom panel: the page shown
        pages->setCurrentWidget(Find<QWidget>(w_.get(), "syuseizu"));
        QCOMPARE(AnchorAfterF1(w_->Boxes()[3].palace), QStringLiteral("topic5"));
        QCOMPARE(AnchorAfterF1(Find<QPushButton>(w_.get(), "endbtn")), QStringLiteral("topic5"));
        for (const char* picker : {"layerKind", "layerEntry", "palaceStems"}) {
            QWidget* control = Find<QWidget>(w_.get(), picker);
            QVERIFY2(control, picker);
            QCOMPARE(AnchorAfterF1(control), QStringLiteral("topic10"));
        }
        for (const char* handOver : {"pictureSaveBtn", "pictureCopyBtn", "textCopyBtn"}) {
            QWidget* control = Find<QWidget>(w_.get(), handOver);
            QVERIFY2(control, handOver);
            QCOMPARE(AnchorAfterF1(control), QStringLiteral("topic19"));
        }
        for (const char* reading : {"kanteisheet", "kounsheet", "kekkonsheet"}) {
            pages->setCurrentWidget(Find<QWidget>(w_.get(), reading));
            QCOMPARE(AnchorAfterF1(w_.get()), QStringLiteral("topic6"));
        }
    }

    // The settings window's doors are boxes, not windows: F1 in their boxes
    // opens the door's topic, and the settings window's own afterwards.
    void doorsOpenTheirTopics() {
        Start();
        ApplicationWindows windows(*w_);
        QWidget* settings = TopLevel("TCunstomFrm");
        QVERIFY(settings);
        settings->show();
        // The door's topic and box title F1 met in the box the door showed.
        struct Met {
            QString anchor;
            QString title;
        };
        const auto through = [](const std::function<void()>& door) {
            Met met;
            QTimer::singleShot(0, [&met] {
                QWidget* box = QApplication::activeModalWidget();
                if (!box) return;
                met.title = box->windowTitle();
                met.anchor = AnchorAfterF1(box);
                if (const QString dir = qEnvironmentVariable("ZELVARA_SCREENSHOT_DIR"); !dir.isEmpty()) {
                    auto* help = box->findChild<HelpWindow*>();
                    help->resize(640, 560);
                    help->grab().save(QDir(dir).filePath(QStringLiteral("help_%1.png").arg(met.anchor)));
                }
                static_cast<QDialog*>(box)->reject();
            });
            door();
            QTest::qWait(0);
            return met;
        };
        const QString settingsTopic = HelpAnchorOfKey(QStringLiteral("TCunstomFrm"));
        for (const QString& key : kDoorKeys) {
            QVERIFY2(!HelpAnchorOfKey(key).isEmpty(), qPrintable(key));
            QVERIFY(HelpAnchorOfKey(key) != settingsTopic);
        }
        const QString csv = user_->filePath("persons.csv");
        Met met = through([&] { ExportRegisterCsvDialog(settings, w_->Persons(), csv); });
        QCOMPARE(met.title, QStringLiteral("名簿の CSV"));
        QCOMPARE(met.anchor, HelpAnchorOfKey("registerCsv"));
        QFile bad(user_->filePath("bad.csv"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("名前\n");
        bad.close();
        met = through([&] { ImportRegisterCsvDialog(settings, w_->Persons(), bad.fileName()); });
        QCOMPARE(met.title, QStringLiteral("名簿の CSV"));
        QCOMPARE(met.anchor, HelpAnchorOfKey("registerCsv"));
        met = through([&] { ImportRegisterParadoxDialog(settings, w_->Persons(), bad.fileName()); });
        QCOMPARE(met.title, QStringLiteral("名簿の Paradox 取り込み"));
        QCOMPARE(met.anchor, HelpAnchorOfKey("registerParadox"));
        met = through([&] { ImportTextsParadoxDialog(settings, user_->path(), {}, {}, user_->path()); });
        QCOMPARE(met.title, QStringLiteral("鑑定文と星の説明の Paradox 取り込み"));
        QCOMPARE(met.anchor, HelpAnchorOfKey("textsParadox"));
        // The door closed, the settings window answers for itself again.
        QCOMPARE(AnchorAfterF1(settings), settingsTopic);
    }
};

QTEST_MAIN(TestHelpTopics)
#include "tst_help_topics.moc"
