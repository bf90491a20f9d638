#include "main/main_window.h"

#include "engine/calendar_day.h"
#include "main/chart_layer_view.h"

#include "common/qstring_utf8.h"
#include "engine/chart_request.h"
#include "main/batch_buttons.h"
#include "main/east_tab_style.h"
#include "main/gui_message_sink.h"
#include "main/help_topics.h"
#include "main/hour_window.h"
#include "main/reading_pages.h"
#include "main/startup_sound.h"
#include "store/settings_file.h"
#include "windows/mannen_window.h"
#include "windows/title_window.h"
#include "zelvara_version.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace zelvara {

TMainForm1::TMainForm1(MessageSink& sink, QWidget* parent) : QMainWindow(parent), sink_(sink), persons_(sink, this) {
    setObjectName(QStringLiteral("MainForm1"));
    setWindowTitle(QStringLiteral("Zelvaraプロ版"));
    setToolTip(QStringLiteral("F1キー押下でヘルプ"));
    resize(792, 571);
    readings_ = new ReadingPages(sink, this);
    BuildPages();
    WirePrintButtons();
    BindPersonControls();
    // F1 in this window and every other window of the program: the topic of that window.
    new HelpKey([this] { return Folders(); }, this);
}

TMainForm1::~TMainForm1() = default;

void TMainForm1::BuildPages() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    PageControl1 = new QTabWidget(central);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setTabPosition(QTabWidget::East);
    auto* tabStyle = new EastTabStyle(100);
    tabStyle->setParent(PageControl1->tabBar());
    PageControl1->tabBar()->setStyle(tabStyle);
    PageControl1->addTab(BuildDataInputPage(), QStringLiteral("データ入力"));
    PageControl1->addTab(BuildChartPage(), QStringLiteral("出生図表示"));
    PageControl1->addTab(BuildOverallReadingPage(), QStringLiteral("総合鑑定"));
    PageControl1->addTab(BuildLuckReadingPage(), QStringLiteral("行運鑑定"));
    PageControl1->addTab(BuildMarriageReadingPage(), QStringLiteral("結婚相手鑑定"));
    connect(PageControl1, &QTabWidget::currentChanged, this, &TMainForm1::PageControl1Change);

    layout->addWidget(PageControl1, 1);
    layout->addWidget(BuildBottomPanel());
    setCentralWidget(central);
}

void TMainForm1::RunStartup(const StartupOptions& options) {
    programFolder_ = options.programFolder;
    userFolder_ = options.userFolder.isEmpty() ? options.programFolder : options.userFolder;
    settingsPath_ = options.settingsPath;

    // Today's date in the short date format.
    const QDate today = options.today.value_or(QDate::currentDate());
    const QString dateText = today.toString(QStringLiteral("yyyy/MM/dd"));
    startupSteps_ << QStringLiteral("date:") + dateText;

    // The start-up chime, unless switched off. Chimes and palace bitmaps are
    // taken from the data folders (the user's copy first), never the working
    // folder, so starting the program from any folder finds them.
    const SettingsFile settings(options.settingsPath);
    if (StartupSoundEnabled(settings)) {
        const QString file = StartupSoundFile(dateText.right(1).toInt());
        PlayStartupSound(FindDataFile(Folders(), file), this);
        startupSteps_ << QStringLiteral("sound:") + file;
    } else {
        startupSteps_ << QStringLiteral("sound:off");
    }

    // The splash, on screen for the given time since this step began. The
    // wait runs an event loop, so the splash is painted and nothing spins.
    if (options.showSplash) {
        QElapsedTimer shownFor;
        shownFor.start();
        Ttitle splash;
        splash.resize(splash.SplashSize());
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            splash.move(screen->availableGeometry().center() - splash.rect().center());
        splash.show();
        splash.repaint();
        const qint64 left = options.splashMilliseconds - shownFor.elapsed();
        if (left > 0) {
            QEventLoop wait;
            QTimer::singleShot(int(left), &wait, &QEventLoop::quit);
            wait.exec(QEventLoop::ExcludeUserInputEvents);
        }
        splash.hide();
        startupSteps_ << QStringLiteral("splash");
    }

    // The chart session with the program-wide engine objects; no chart yet.
    session_ = std::make_unique<ChartSession>(programFolder_.toStdString(), sink_, personStore_);
    readings_->Attach(*session_);
    startupSteps_ << QStringLiteral("engine");

    // The chart boxes.
    batchFlag_ = false;
    const QStringList missing = BuildChartBoxes(boxes_, Folders());
    for (const ChartBox& box : boxes_)
        connect(box.palace, &QToolButton::clicked, this, [this, &box] { PalaceButtonClick(box.palace->Tag()); });
    layers_ = new ChartLayerView(syuseizu, syuseizu->findChild<QFrame*>(QStringLiteral("centerPanel")), boxes_);
    layers_->SetCalendar([this](const CivilDate& date) { return CalendarDayOf(session_->Context(), date); },
                         [this] { return LeapMonthsOf(session_->Context(), kFirstCalendarYear, kLastChartYear); });
    // The palace stems as the reader last left them; written only when changed.
    layers_->SetStemsShown(IsSwitchOn(settings.Read(QStringLiteral("chart"), QStringLiteral("stems"), {})));
    connect(layers_, &ChartLayerView::StemsToggled, this, [this](bool on) {
        QString why;
        if (!SettingsFile(settingsPath_)
                 .Write(QStringLiteral("chart"), QStringLiteral("stems"),
                        on ? QStringLiteral("True") : QStringLiteral("False"), &why))
            Message(QStringLiteral("宮干を表示する設定を保存できませんでした。\n") + why);
    });
    if (!missing.isEmpty()) {
        Message(QStringLiteral("宮の画像ファイルが見つからないか壊れています。宮のボタンは画像なしで表示します。\n%1")
                    .arg(missing.join(QLatin1Char('\n'))));
    }
    PageControl1->setCurrentIndex(0);
    startupSteps_ << QStringLiteral("boxes");

    // The person register in the user's folder. When it cannot be written a
    // refused post offers to discard the edit, so no record traps the user.
    persons_.SetToday(options.today);
    persons_.SetDiscardQuestion([this](const QString& text) { return Ask(text); });
    registerUri_ = options.registerUri;
    const RegisterServerSettings registerSettings = LoadRegisterServerSettings(settings);
    OpenRegister(ChooseRegister(registerUri_, qEnvironmentVariable("ZELVARA_REGISTER"), &registerSettings));
    startupSteps_ << QStringLiteral("table");
    readings_->OpenTables(userFolder_);
    BatchButtons::Attach(datainput, programFolder_, sink_, options.maintainer);

    // The caption with the version.
    setWindowTitle(QStringLiteral("Zelvaraプロ版") + QString::fromLatin1(kVersionCaption));
    startupSteps_ << QStringLiteral("caption");
    pageGuardOn_ = true;

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TMainForm1::Message(const QString& text, const QString& caption) {
    sink_.Show(text.toStdString(), caption.toStdString());
}

void TMainForm1::PageControl1Change(int index) {
    if (!pageGuardOn_ || !session_) return;
    if (!session_->HasChart()) {
        Message(QStringLiteral("鑑定ボタンを最初に行ってください。"));
        return;
    }
    QWidget* page = PageControl1->widget(index);
    if (page == kanteisheet)
        KekkaChange();
    else if (page == kekkonsheet)
        ComposeMarriageReading();
}

void TMainForm1::PalaceButtonClick(int tag) { readings_->kyu0Click(tag); }

void TMainForm1::BitBtn1Click() {
    if (!session_ || !session_->HasChart()) {
        Message(QStringLiteral("診断が実行されていません。先に診断を実行して下さい。"));
        return;
    }
    // A new window at each opening, on the year the chart loaded.
    EngineContext& ctx = session_->Context();
    auto* calendar = new Tmannenfrm(ctx.reki.slot[2], session_->Man().birthYear, session_->Man().birthMonth,
                                    Tmannenfrm::CalendarSourceLine(programFolder_), this, &ctx.reki.slot[3]);
    calendar->show();
}

void TMainForm1::KekkaChange() { readings_->KekkaChange(); }

void TMainForm1::ComposeMarriageReading() { readings_->ComposeMarriageReading(); }

bool TMainForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == inYy && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F2) {
        // F2: an era year becomes western; a whole date ("S34/5/7") goes into
        // the year, month and day boxes. The bound fields follow the boxes.
        const std::string text = inYy->text().toStdString();
        BirthInput typed;
        const bool wholeDate = SplitTypedDate(text, typed);
        inYy->setText(Q(EraYearToWestern(wholeDate ? typed.year : text)));
        if (wholeDate) {
            for (const auto& [box, part] : {std::pair{inMm, Q(typed.month)}, std::pair{inDd, Q(typed.day)}}) {
                box->setCurrentIndex(box->findText(part));
                box->setEditText(part);
            }
        }
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TMainForm1::Ask(const QString& text) const {
    if (ask_) return ask_(text);
    return QMessageBox::question(const_cast<TMainForm1*>(this), QString::fromUtf16(kApplicationTitle), text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void TMainForm1::closeEvent(QCloseEvent* event) {
    // Unposted edits are posted. When the register refuses them the program
    // still ends, after one question; "No" keeps the window and the edit.
    if (persons_.IsModified() && persons_.IsWritable()) {
        QString why;
        if (!persons_.PostQuietly(&why)) {
            if (!Ask(why + QStringLiteral("\n\n保存できなかった変更を破棄して終了しますか？"))) {
                event->ignore();
                return;
            }
            persons_.Cancel();
        }
    }
    // Reading-text edits the tables refuse: named, then one question whether
    // to end without them; "No" keeps them in their editors.
    if (!readings_->Tables().SaveAllPending([this](const QString& question) { return Ask(question); })) {
        event->ignore();
        return;
    }
    if (!CloseOtherWindows()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

bool TMainForm1::CloseOtherWindows() {
    // Each closes as its own close button would close it: the settings window
    // stores what it shows (asking only when the file refuses it), the
    // reading-text editors find their edits saved or dropped above.
    QList<QPointer<QWidget>> open;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != this && window->isVisible()) open << window;
    for (const QPointer<QWidget>& window : open)
        if (window && window->isVisible() && !window->close()) return false;
    return true;
}

}  // namespace zelvara
