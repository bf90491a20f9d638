#include "main/main_window.h"

#include "common/named_object.h"
#include "main/batch_buttons.h"
#include "main/consultation_list_windows.h"
#include "main/consultation_page.h"
#include "main/data_input_page.h"
#include "main/east_tab_style.h"
#include "main/gui_message_sink.h"
#include "main/help_topics.h"
#include "main/hour_window.h"
#include "main/reading_pages.h"
#include "main/startup_sound.h"
#include "print/chart_sheet.h"
#include "register/exact_time_hours.h"
#include "store/settings_file.h"
#include "windows/mannen_window.h"
#include "windows/title_window.h"
#include "zelvara_version.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
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
    // F1 in this window and every other window of the program: the topic of that window.
    new HelpKey([this] { return Folders(); }, this);
}

TMainForm1::~TMainForm1() = default;

void TMainForm1::BuildPages() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    PageControl1 = Named(new QTabWidget(central), "PageControl1");
    PageControl1->setTabPosition(QTabWidget::East);
    auto* tabStyle = new EastTabStyle(100);
    tabStyle->setParent(PageControl1->tabBar());
    PageControl1->tabBar()->setStyle(tabStyle);
    dataPage_ = new DataInputPage(persons_, birthTimes_, sink_, [this](const QString& text) { return Ask(text); });
    connect(dataPage_->ChartButton(), &QPushButton::clicked, this, &TMainForm1::btnOkClick);
    connect(dataPage_, &DataInputPage::exportPersonRequested, this, &TMainForm1::ExportPersonClick);
    connect(dataPage_, &DataInputPage::erasePersonRequested, this, &TMainForm1::ErasePersonClick);
    chartPage_ = new ChartPage(timi_);
    connect(chartPage_, &ChartPage::PalaceClicked, readings_, &ReadingPages::kyu0Click);
    PageControl1->addTab(dataPage_, QStringLiteral("データ入力"));
    PageControl1->addTab(chartPage_, QStringLiteral("出生図表示"));
    kanteisheet = readings_->BuildOverallPage();
    PageControl1->addTab(kanteisheet, QStringLiteral("総合鑑定"));
    PageControl1->addTab(readings_->BuildLuckPage(), QStringLiteral("行運鑑定"));
    kekkonsheet = readings_->BuildMarriagePage([this] {
        if (windows_.marriageRules) windows_.marriageRules->show();
    });
    PageControl1->addTab(kekkonsheet, QStringLiteral("結婚相手鑑定"));
    consultationPage_ = new ConsultationPage(persons_, sink_, [this](const QString& text) { return Ask(text); });
    PageControl1->addTab(consultationPage_, QStringLiteral("鑑定記録"));
    WireConsultations();
    connect(PageControl1, &QTabWidget::currentChanged, this, &TMainForm1::PageControl1Change);

    layout->addWidget(PageControl1, 1);
    layout->addWidget(BuildBottomPanel());
    setCentralWidget(central);
}

QWidget* TMainForm1::BuildBottomPanel() {
    auto* Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(Panel1);
    row->setContentsMargins(6, 4, 6, 4);
    row->setSpacing(4);
    namelbl = Named(new QLabel(QStringLiteral("氏名"), Panel1), "namelbl");
    QFont nameFont = namelbl->font();
    nameFont.setPointSize(nameFont.pointSize() + 2);
    nameFont.setBold(true);
    namelbl->setFont(nameFont);
    row->addWidget(namelbl, 1);

    auto show = [](QWidget* w) {
        if (w) {
            w->show();
            w->raise();
            w->activateWindow();
        }
    };
    QPushButton* matorixbtn = Named(new QPushButton(QStringLiteral("星のマトリックス"), Panel1), "matorixbtn");
    connect(matorixbtn, &QPushButton::clicked, this, [this, show] { show(windows_.starMatrix); });
    // The owner settings are reloaded by the settings module when it opens.
    QPushButton* helpbtn = Named(new QPushButton(QStringLiteral("Orvandel伝説"), Panel1), "helpbtn");
    connect(helpbtn, &QPushButton::clicked, this, [this, show] { show(windows_.legends); });
    QPushButton* BitBtn1 = Named(new QPushButton(QStringLiteral("万年暦"), Panel1), "BitBtn1");
    connect(BitBtn1, &QPushButton::clicked, this, &TMainForm1::BitBtn1Click);
    QPushButton* passbtn = Named(new QPushButton(QStringLiteral("環境設定"), Panel1), "passbtn");
    connect(passbtn, &QPushButton::clicked, this, [this, show] { show(windows_.settings); });
    // Across clients: the coming appointments and the search of the records.
    QPushButton* agendabtn = Named(new QPushButton(QStringLiteral("予定"), Panel1), "agendabtn");
    agendabtn->setToolTip(QStringLiteral("今日からの予定（次回の予約）を一覧します"));
    connect(agendabtn, &QPushButton::clicked, this, [this, show] { show(&AgendaWindow()); });
    QPushButton* notesSearchbtn = Named(new QPushButton(QStringLiteral("記録検索"), Panel1), "notesSearchbtn");
    notesSearchbtn->setToolTip(QStringLiteral("すべての人物の鑑定記録を言葉で検索します"));
    connect(notesSearchbtn, &QPushButton::clicked, this, [this, show] { show(&NotesSearchWindow()); });
    QPushButton* endbtn = Named(new QPushButton(QStringLiteral("終了"), Panel1), "endbtn");
    connect(endbtn, &QPushButton::clicked, this, &QWidget::close);
    for (QPushButton* b : {agendabtn, notesSearchbtn, matorixbtn, helpbtn, BitBtn1, passbtn, endbtn}) row->addWidget(b);
    return Panel1;
}

void TMainForm1::RunStartup(const StartupOptions& options) {
    programFolder_ = options.programFolder;
    userFolder_ = options.userFolder.isEmpty() ? options.programFolder : options.userFolder;
    settingsPath_ = options.settingsPath;
    dataPage_->SetPlaces(Folders(), settingsPath_);
    // A time the person chose no correction for is corrected as the
    // client's profile says when it is not 標準, else as the settings say.
    dataPage_->SetTimeCorrection([this] {
        const SettingsFile settings(settingsPath_);
        return ProfileTimeCorrection(CastProfile().profile, LoadTimeCorrection(settings));
    });

    // Today's date in the short date format.
    const QDate today = options.today.value_or(QDate::currentDate());
    const QString dateText = today.toString(QStringLiteral("yyyy/MM/dd"));

    // The start-up chime, unless switched off. Chimes and palace bitmaps are
    // taken from the data folders (the user's copy first), never the working
    // folder, so starting the program from any folder finds them.
    const SettingsFile settings(options.settingsPath);
    if (StartupSoundEnabled(settings)) {
        const QString file = StartupSoundFile(dateText.right(1).toInt());
        PlayStartupSound(FindDataFile(Folders(), file), this);
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
    }

    // The chart session with the program-wide engine objects; no chart yet.
    session_ = std::make_unique<ChartSession>(programFolder_.toStdString(), sink_, personStore_);
    readings_->Attach(*session_);

    // The chart boxes.
    chartPage_->Start(*session_, Folders(), settingsPath_, sink_);
    PageControl1->setCurrentIndex(0);

    // The person register in the user's folder. When it cannot be written a
    // refused post offers to discard the edit, so no record traps the user.
    persons_.SetToday(options.today);
    consultationPage_->SetToday(options.today);
    persons_.SetDiscardQuestion([this](const QString& text) { return Ask(text); });
    registerUri_ = options.registerUri;
    const RegisterServerSettings registerSettings = LoadRegisterServerSettings(settings);
    OpenRegister(ChooseRegister(registerUri_, qEnvironmentVariable("ZELVARA_REGISTER"), &registerSettings));
    readings_->OpenTables(userFolder_);
    BatchButtons::Attach(dataPage_, programFolder_, sink_, options.maintainer);

    // The caption with the version.
    setWindowTitle(QStringLiteral("Zelvaraプロ版") + QString::fromLatin1(kVersionCaption));
    pageGuardOn_ = true;

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TMainForm1::Message(const QString& text, const QString& caption) {
    sink_.Show(text.toStdString(), caption.toStdString());
}

void TMainForm1::PageControl1Change(int index) {
    QWidget* page = PageControl1->widget(index);
    if (shownPage_ == consultationPage_ && page != consultationPage_) consultationPage_->Leave();
    shownPage_ = page;
    // The consultation record needs no chart.
    if (!pageGuardOn_ || !session_ || page == consultationPage_) return;
    if (!session_->HasChart()) {
        Message(QStringLiteral("鑑定ボタンを最初に行ってください。"));
        return;
    }
    if (page == kanteisheet)
        readings_->KekkaChange();
    else if (page == kekkonsheet)
        readings_->ComposeMarriageReading();
}

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

void TMainForm1::OpenRegister(const RegisterChoice& choice) {
    if (!choice.error.isEmpty()) {
        Message(choice.error);
        persons_.MarkUnavailable(choice.error);
        return;
    }
    if (!choice.server) {
        persons_.Open(userFolder_);
        MendExactHours();
        return;
    }
    persons_.SetPasswordQuestion([this](const QString& prompt) -> std::optional<QString> {
        bool ok = false;
        const QString password =
            QInputDialog::getText(this, QStringLiteral("名簿のサーバー"), prompt, QLineEdit::Password, {}, &ok);
        return ok ? std::optional<QString>(password) : std::nullopt;
    });
    persons_.OpenServer(*choice.server);
}

void TMainForm1::MendExactHours() {
    BirthTimeTable* times = persons_.IsWritable() && !persons_.IsServer() ? birthTimes_.Table() : nullptr;
    if (!times) return;
    QList<ExactHourFault> done;
    QString copy;
    const QString error = MendExactHourFaults(persons_, *times, done, copy);
    if (done.isEmpty() && error.isEmpty()) return;
    persons_.First();
    QString text = QStringLiteral(
        "出生時刻のある人の時刻の欄に、以前の版が補正した時刻を書いていました。"
        "時計の時刻の欄に直しました。");
    if (!done.isEmpty()) text += QLatin1Char('\n') + DescribeMended(done);
    if (!copy.isEmpty()) text += QStringLiteral("\n直す前の名簿: %1").arg(copy);
    if (!error.isEmpty()) text += QLatin1Char('\n') + error;
    Message(text);
}

void TMainForm1::ReopenRegister() {
    if (!RegisterOverride().isEmpty()) {
        Message(
            QStringLiteral("名簿の場所が --register または ZELVARA_REGISTER で指定されているため、"
                           "設定の名簿の場所は、それなしで起動したときから使われます。"));
        return;
    }
    if (persons_.IsModified() && !persons_.Post() && persons_.IsModified()) {
        Message(
            QStringLiteral("保存されていない変更があるため、名簿を開き直していません。"
                           "変更を登録するか取り消してから、もう一度名簿の場所を選んでください。"));
        return;
    }
    const RegisterServerSettings registerSettings = LoadRegisterServerSettings(SettingsFile(settingsPath_));
    OpenRegister(ChooseRegister({}, {}, &registerSettings));
}

QString TMainForm1::RegisterOverride() const {
    const QString from = !registerUri_.isEmpty()                               ? QStringLiteral("--register")
                         : !qEnvironmentVariable("ZELVARA_REGISTER").isEmpty() ? QStringLiteral("ZELVARA_REGISTER")
                                                                               : QString();
    if (from.isEmpty()) return {};
    return QStringLiteral("%1 の指定によるサーバー %2").arg(from, persons_.Location());
}

// The chart request behind "鑑定(&K)": the entry boxes go to the chart
// session, which checks them, asks the hour window for an unknown hour, casts
// and writes the person's record; the pages show the chart the session cast.
void TMainForm1::btnOkClick() {
    if (!session_) return;
    // Cast by the client's profile, else the default; a name the settings
    // lack is said at each cast, never passed over.
    const EffectiveProfile profile = CastProfile();
    if (!profile.notFound.isEmpty()) Message(profile.notFound);
    session_->SetProfile(profile.profile);
    // A person with an exact time is cast for its corrected moment.
    const BirthInput in = dataPage_->ReadBirthInput();
    std::optional<CorrectedBirth> exact;
    if (!dataPage_->ExactBirthOf(session_->Context(), in, exact)) return;
    // The place goes with the chart: the record shown may change before a print.
    QString place;
    if (exact)
        if (const auto entry = birthTimes_.CurrentEntry()) place = BirthPlaceText(entry->place, entry->longitude);
    const RequestOutcome outcome = session_->Request(
        in, HourWindow(), [this](const SessionChart& chart) { ShowCastChart(chart); }, exact, place);
    if (outcome.IsCast()) PageControl1->setCurrentWidget(chartPage_);
}

EffectiveProfile TMainForm1::CastProfile() const {
    return ResolveConventionProfile(SettingsFile(settingsPath_), dataPage_->CurrentProfileName());
}

// The chart page, the luck tabs and the strength chart; then the entry boxes
// take the converted year, the hour and the main stars (their bound fields
// follow) before the session writes the record. With an exact time the hour
// box shows the corrected period the chart was cast for; the record keeps
// the clock's period (RecordFields).
void TMainForm1::ShowCastChart(const SessionChart& chart) {
    chartAsRead_ = false;
    namelbl->setText(dataPage_->Name());
    chartPage_->ShowCast(chart);
    FillLuckTabs();
    readings_->KounMemo->clear();
    dataPage_->ShowCastFields(session_->RecordFields(), chart.hourIndex, chart.exact.has_value());
}

Ttimefrm& TMainForm1::HourWindow() {
    if (windows_.hourWindow) return *windows_.hourWindow;
    if (!ownHourWindow_) ownHourWindow_ = std::make_unique<Ttimefrm>(timi_, this);
    return *ownHourWindow_;
}

void TMainForm1::FillLuckTabs() {
    QStringList tabs;
    for (int i = 1; i <= 12; ++i) tabs << QString::fromStdString(session_->Chart().luckCaptions[i]);
    readings_->ShowLuckPeriods(tabs);  // no tab selected, empty reading
}

bool TMainForm1::Ask(const QString& text) const {
    if (ask_) return ask_(text);
    return QMessageBox::question(const_cast<TMainForm1*>(this), QString::fromUtf16(kApplicationTitle), text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void TMainForm1::closeEvent(QCloseEvent* event) {
    // A consultation entry being edited: asked once whether to save it.
    if (PageControl1->currentWidget() == consultationPage_) consultationPage_->Leave();
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
