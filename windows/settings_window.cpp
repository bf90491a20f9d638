#include "windows/settings_window.h"

#include "common/named_object.h"
#include "common/qstring_utf8.h"
#include "engine/context.h"
#include "store/boundary_warnings.h"
#include "store/convention_profiles.h"
#include "windows/convention_profiles_dialog.h"
#include "windows/register_place_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace zelvara {
namespace {

const QString kOwner = QStringLiteral("owner");
const QString kSound = QStringLiteral("sound");
const QString kCsvInHint = QStringLiteral("CSV ファイルの人物データを名簿に加えます");

void ShowEditor(QWidget* editor) {
    if (!editor) return;
    editor->show();
    editor->raise();
    editor->activateWindow();
}

}  // namespace

TCunstomFrm::TCunstomFrm(MessageSink& sink, const QString& mainCaption, const QString& settingsPath, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      sink_(sink),
      settings_(settingsPath) {
    setObjectName(QStringLiteral("TCunstomFrm"));
    setWindowTitle(QStringLiteral("環境設定"));

    ttlname = Named(new QLabel(mainCaption, this), "ttlname");
    ttlname->setAlignment(Qt::AlignCenter);
    ttlname->setAutoFillBackground(true);
    QPalette yellow = ttlname->palette();
    yellow.setColor(QPalette::Window, QColor(255, 255, 0));
    yellow.setColor(QPalette::WindowText, Qt::black);
    ttlname->setPalette(yellow);
    QFont big = ttlname->font();
    big.setPointSize(big.pointSize() + 3);
    big.setBold(true);
    ttlname->setFont(big);
    ttlname->setMinimumHeight(32);

    auto* GroupBox1 =
        Named(new QGroupBox(QStringLiteral("鑑定書に印刷するタイトルと電話番号を入力します。 "), this), "GroupBox1");
    auto* grid = new QGridLayout(GroupBox1);
    grid->addWidget(Named(new QLabel(QStringLiteral("鑑定書印刷表紙タイトル"), GroupBox1), "Label4"), 0, 0);
    titlebox = Named(new QLineEdit(GroupBox1), "titlebox");
    grid->addWidget(titlebox, 0, 1);
    grid->addWidget(Named(new QLabel(QStringLiteral("例：紫微斗数鑑定所　星読み館"), GroupBox1), "Label10"), 1, 1);
    grid->addWidget(Named(new QLabel(QStringLiteral("電話番号(半角数字入力)"), GroupBox1), "Label5"), 2, 0);
    telbox = Named(new QLineEdit(GroupBox1), "telbox");
    // Half-width input: no input method, digits preferred.
    telbox->setAttribute(Qt::WA_InputMethodEnabled, false);
    telbox->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhPreferNumbers | Qt::ImhNoPredictiveText);
    grid->addWidget(telbox, 2, 1);
    grid->addWidget(Named(new QLabel(QStringLiteral("例：03-1234-5678"), GroupBox1), "Label11"), 3, 1);
    grid->addWidget(Named(new QLabel(QStringLiteral("表紙のロゴ画像"), GroupBox1), "logoLabel"), 4, 0);
    auto* logoRow = new QHBoxLayout;
    logobox = Named(new QLineEdit(GroupBox1), "logobox");
    logobox->setPlaceholderText(QStringLiteral("なし（PNG・JPEG などの画像ファイル）"));
    auto* logoBrowse = Named(new QPushButton(QStringLiteral("参照…"), GroupBox1), "logoBrowseBtn");
    connect(logoBrowse, &QPushButton::clicked, this, [this] {
        QFileDialog dialog(this, QStringLiteral("鑑定書の表紙のロゴ画像"), QFileInfo(logobox->text()).absolutePath(),
                           QStringLiteral("画像 (*.png *.jpg *.jpeg *.bmp *.gif)"));
        dialog.setObjectName(QStringLiteral("logoFileDialog"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            logobox->setText(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
    });
    logoRow->addWidget(logobox, 1);
    logoRow->addWidget(logoBrowse);
    grid->addLayout(logoRow, 4, 1);
    grid->setColumnStretch(1, 1);
    titlebox->setMinimumWidth(280);

    databasebtn = Named(new QPushButton(QStringLiteral("出生図鑑定文章データベースカスタマイズ"), this), "databasebtn");
    kounbtn = Named(new QPushButton(QStringLiteral("行運鑑定文章データベースカスタマイズ"), this), "kounbtn");
    kekkonbtn = Named(new QPushButton(QStringLiteral("相性・結婚鑑定文章データベースカスタマイズ"), this), "kekkonbtn");
    printbtn = Named(new QPushButton(QStringLiteral("プリンタ設定"), this), "printbtn");
    soundchk = Named(new QCheckBox(QStringLiteral("起動時音楽を鳴らす"), this), "soundchk");
    soundchk->setChecked(true);
    BitBtn1 = Named(new QPushButton(QStringLiteral("閉じる(&C)"), this), "BitBtn1");
    // How a person's exact birth time is corrected before the chart is cast;
    // the items follow the order of TimeCorrection (none, mean, true).
    correctionbox = Named(new QComboBox(this), "correctionbox");
    correctionbox->addItems({QStringLiteral("補正しない"), QStringLiteral("地方平均時（経度）"),
                             QStringLiteral("真太陽時（経度と均時差）")});
    correctionbox->setToolTip(QStringLiteral("出生時刻が登録された人物の時刻の補正です。夏時間は常に除きます"));

    connect(databasebtn, &QPushButton::clicked, this, [this] { ShowEditor(editors_[0]); });
    connect(kounbtn, &QPushButton::clicked, this, [this] { ShowEditor(editors_[1]); });
    connect(kekkonbtn, &QPushButton::clicked, this, [this] { ShowEditor(editors_[2]); });
    connect(printbtn, &QPushButton::clicked, this, &TCunstomFrm::printbtnClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TCunstomFrm::BitBtn1Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ttlname);
    layout->addWidget(GroupBox1);
    deletedbtn = Named(new QPushButton(QStringLiteral("削除したデータ…"), this), "deletedbtn");
    deletedbtn->setToolTip(QStringLiteral("削除した人物データを名簿に戻します"));
    deletedbtn->hide();
    connect(deletedbtn, &QPushButton::clicked, this, [this] {
        if (openDeleted_) openDeleted_();
    });
    csvoutbtn = Named(new QPushButton(QStringLiteral("CSVに書き出す…"), this), "csvoutbtn");
    csvoutbtn->setToolTip(QStringLiteral("名簿のすべての人物データを CSV ファイルに書き出します"));
    csvinbtn = Named(new QPushButton(QStringLiteral("CSVから読み込む…"), this), "csvinbtn");
    csvinbtn->setToolTip(kCsvInHint);
    for (QPushButton* b : {csvoutbtn, csvinbtn}) b->hide();
    connect(csvoutbtn, &QPushButton::clicked, this, [this] {
        if (exportCsv_) exportCsv_();
    });
    connect(csvinbtn, &QPushButton::clicked, this, [this] {
        if (importCsv_) importCsv_();
    });
    paradoxbtn = Named(new QPushButton(QStringLiteral("Paradox から取り込み…"), this), "paradoxbtn");
    paradoxbtn->setToolTip(
        QStringLiteral("前のプログラムの Paradox の表から、人物データか鑑定文と星の説明を取り込みます"));
    paradoxbtn->hide();
    auto* paradoxMenu = new QMenu(paradoxbtn);
    paradoxRegisterAction_ = paradoxMenu->addAction(QStringLiteral("名簿（nam_data.db）…"), this, [this] {
        if (importParadoxRegister_) importParadoxRegister_();
    });
    paradoxRegisterAction_->setObjectName(QStringLiteral("paradoxregister"));
    paradoxMenu->setToolTipsVisible(true);
    paradoxMenu
        ->addAction(QStringLiteral("鑑定文と星の説明（フォルダー）…"), this,
                    [this] {
                        if (importParadoxTexts_) importParadoxTexts_();
                    })
        ->setObjectName(QStringLiteral("paradoxtexts"));
    paradoxbtn->setMenu(paradoxMenu);
    registerplacebtn = Named(new QPushButton(QStringLiteral("名簿の場所…"), this), "registerplacebtn");
    registerplacebtn->setToolTip(QStringLiteral("名簿をこのコンピューターに置くか、サーバーの名簿を使うかを選びます"));
    registerplacebtn->hide();
    connect(registerplacebtn, &QPushButton::clicked, this, &TCunstomFrm::registerplacebtnClick);
    registerlbl = Named(new QLabel(this), "registerlbl");
    registerlbl->setTextInteractionFlags(Qt::TextSelectableByMouse);
    registerlbl->setWordWrap(true);  // a long server name must not widen the window
    registerlbl->hide();
    for (QPushButton* b : {databasebtn, kounbtn, kekkonbtn, printbtn, deletedbtn, csvoutbtn, csvinbtn, paradoxbtn})
        layout->addWidget(b);
    layout->addWidget(registerplacebtn);
    layout->addWidget(registerlbl);
    folderslbl = Named(new QLabel(this), "folderslbl");
    folderslbl->setTextInteractionFlags(Qt::TextSelectableByMouse);
    folderslbl->hide();
    layout->addWidget(folderslbl);
    // The conventions charts are cast by when a client names none.
    defaultprofilebox = Named(new QComboBox(this), "defaultprofilebox");
    defaultprofilebox->setToolTip(QStringLiteral("流派を選んでいない人物の命盤を作る規則の組です"));
    connect(defaultprofilebox, &QComboBox::textActivated, this, &TCunstomFrm::DefaultProfileChosen);
    profilesbtn = Named(new QPushButton(QStringLiteral("流派の設定…"), this), "profilesbtn");
    profilesbtn->setToolTip(QStringLiteral("命盤の規則の組（流派）を作り、変え、削除します"));
    connect(profilesbtn, &QPushButton::clicked, this, &TCunstomFrm::profilesbtnClick);
    auto* profiles = new QHBoxLayout;
    profiles->addWidget(Named(new QLabel(QStringLiteral("既定の流派"), this), "defaultprofilelbl"));
    profiles->addWidget(defaultprofilebox, 1);
    profiles->addWidget(profilesbtn);
    layout->addLayout(profiles);
    auto* correction = new QHBoxLayout;
    correction->addWidget(Named(new QLabel(QStringLiteral("時刻の補正"), this), "correctionlbl"));
    correction->addWidget(correctionbox, 1);
    layout->addLayout(correction);
    boundarychk = Named(new QCheckBox(QStringLiteral("境界に近い出生で「境界注意」を出す"), this), "boundarychk");
    boundarychk->setToolTip(
        QStringLiteral("時辰や節入りなどの境に近い出生で、別の読みの出生図と比べるボタンを出します"));
    layout->addWidget(boundarychk);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(soundchk);
    bottom->addStretch(1);
    bottom->addWidget(BitBtn1);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);  // a fixed border
    SetEditorWindows(nullptr, nullptr, nullptr);
}

TCunstomFrm::~TCunstomFrm() = default;

void TCunstomFrm::SetEditorWindows(QWidget* databaseEditor, QWidget* luckEditor, QWidget* marriageEditor) {
    editors_[0] = databaseEditor;
    editors_[1] = luckEditor;
    editors_[2] = marriageEditor;
    databasebtn->setEnabled(databaseEditor);
    kounbtn->setEnabled(luckEditor);
    kekkonbtn->setEnabled(marriageEditor);
}

void TCunstomFrm::SetDeletedRecordsDoor(std::function<void()> open) {
    openDeleted_ = std::move(open);
    deletedbtn->setVisible(bool(openDeleted_));
}

void TCunstomFrm::SetCsvDoors(std::function<void()> exportCsv, std::function<void()> importCsv) {
    exportCsv_ = std::move(exportCsv);
    importCsv_ = std::move(importCsv);
    csvoutbtn->setVisible(bool(exportCsv_));
    csvinbtn->setVisible(bool(importCsv_));
}

void TCunstomFrm::SetParadoxDoors(std::function<void()> importRegister, std::function<void()> importTexts) {
    importParadoxRegister_ = std::move(importRegister);
    importParadoxTexts_ = std::move(importTexts);
    paradoxbtn->setVisible(bool(importParadoxRegister_) || bool(importParadoxTexts_));
}

void TCunstomFrm::SetRegisterWriteRefusal(const QString& why) {
    const bool writable = why.isEmpty();
    csvinbtn->setEnabled(writable);
    csvinbtn->setToolTip(writable ? kCsvInHint : why);
    paradoxRegisterAction_->setEnabled(writable);
    paradoxRegisterAction_->setToolTip(writable ? paradoxRegisterAction_->text() : why);
}

void TCunstomFrm::SetRegisterPlaceDoor(std::function<void()> changed, const QString& overriddenBy) {
    registerPlaceChanged_ = std::move(changed);
    registerOverriddenBy_ = overriddenBy;
    const bool given = bool(registerPlaceChanged_);
    registerplacebtn->setVisible(given);
    registerlbl->setVisible(given);
    if (given) ShowRegisterPlace();
}

void TCunstomFrm::ShowRegisterPlace() {
    if (!registerOverriddenBy_.isEmpty()) {
        registerlbl->setText(QStringLiteral("名簿：%1（ここでの選択は、その指定なしで起動したときから使われます）")
                                 .arg(registerOverriddenBy_));
        return;
    }
    const RegisterServerSettings place = LoadRegisterServerSettings(settings_);
    registerlbl->setText(place.useServer
                             ? QStringLiteral("名簿：サーバー %1").arg(DescribePgConnection(ServerConnectionOf(place)))
                             : QStringLiteral("名簿：このコンピューター"));
}

void TCunstomFrm::registerplacebtnClick() {
    const RegisterServerSettings stored = LoadRegisterServerSettings(settings_);
    RegisterPlaceDialog dialog(stored, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const RegisterServerSettings chosen = dialog.Settings();
    // Server fields filled in and left under このコンピューター change nothing.
    if (!stored.useServer && !chosen.useServer) return;
    const QList<SettingsFile::Entry> before = RegisterServerEntries(stored);
    const QList<SettingsFile::Entry> after = RegisterServerEntries(chosen);
    const bool same = std::equal(before.begin(), before.end(), after.begin(), after.end(),
                                 [](const SettingsFile::Entry& a, const SettingsFile::Entry& b) {
                                     return a.section == b.section && a.key == b.key && a.value == b.value;
                                 });
    if (same) return;
    QString why;
    if (!settings_.Write(after, &why)) {
        sink_.Show(QStringLiteral("設定ファイル %1 に書き込めませんでした。\n%2\n名簿の場所は変わっていません。")
                       .arg(settings_.Path(), why)
                       .toStdString(),
                   {});
        return;
    }
    ShowRegisterPlace();
    if (registerPlaceChanged_) registerPlaceChanged_();
}

void TCunstomFrm::ShowProfiles() {
    QString why;
    const QString chosen = Q(DefaultConventionProfile(settings_, &why).name);
    defaultprofilebox->clear();
    defaultprofilebox->addItems(ConventionProfileNames(settings_));
    defaultprofilebox->setCurrentText(chosen);
    defaultprofilebox->setToolTip(why.isEmpty() ? QStringLiteral("流派を選んでいない人物の命盤を作る規則の組です")
                                                : why);
}

void TCunstomFrm::DefaultProfileChosen(const QString& name) {
    // A user who never chooses another keeps the file without the line.
    const QString stored = settings_.Read(kConventionsSection, kDefaultProfileKey, {});
    if (name == stored || (stored.isEmpty() && name == Q(kStandardProfileName))) return;
    QString why;
    if (!SaveDefaultConventionProfile(settings_, name, &why))
        sink_.Show(QStringLiteral("既定の流派を保存できませんでした。\n%1").arg(why).toStdString(), {});
    ShowProfiles();
}

void TCunstomFrm::profilesbtnClick() {
    ConventionProfilesDialog dialog(settings_.Path(), sink_, this);
    if (ask_) dialog.SetQuestion(ask_);
    dialog.exec();
    ShowProfiles();
}

void TCunstomFrm::ShowDataFolders(const DataFolders& folders) {
    folderslbl->setText(DescribeDataFolders(folders, settings_.Path()));
    folderslbl->show();
}

void TCunstomFrm::LoadOwnerSettings() { owner_ = zelvara::LoadOwnerSettings(settings_); }

void TCunstomFrm::showEvent(QShowEvent* event) {
    LoadOwnerSettings();
    titlebox->setText(owner_.title);
    telbox->setText(owner_.tel);
    logobox->setText(owner_.logo);
    soundchk->setChecked(IsSwitchOn(settings_.Read(kSound, QStringLiteral("check"), QStringLiteral("True"))));
    correctionbox->setCurrentIndex(int(LoadTimeCorrection(settings_)));
    boundarychk->setChecked(LoadBoundaryWarnings(settings_));
    ShowProfiles();
    if (registerPlaceChanged_) ShowRegisterPlace();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        adjustSize();
        move(screen->availableGeometry().center() - rect().center());
    }
    QWidget::showEvent(event);
}

bool TCunstomFrm::Store(QString* why) {
    const OwnerSettings edited{titlebox->text(), telbox->text(), logobox->text().trimmed()};
    const QString sound = soundchk->isChecked() ? QStringLiteral("True") : QStringLiteral("False");
    QList<SettingsFile::Entry> entries{{kOwner, QStringLiteral("title"), edited.title},
                                       {kOwner, QStringLiteral("tel"), edited.tel},
                                       {kSound, QStringLiteral("check"), sound}};
    // The correction is written only when it changed, so that a user who
    // never chose one keeps the file as it was.
    const QString stored = settings_.Read(kTimeCorrectionSection, kTimeCorrectionKey, QStringLiteral("none"));
    if (Correction() != stored) entries.append({kTimeCorrectionSection, kTimeCorrectionKey, Correction()});
    // The warnings likewise.
    if (boundarychk->isChecked() != LoadBoundaryWarnings(settings_))
        entries.append({kBoundaryWarningsSection, kBoundaryWarningsKey,
                        boundarychk->isChecked() ? QStringLiteral("1") : QStringLiteral("0")});
    // The logo likewise: only a reader who chose one gets the line.
    if (edited.logo != owner_.logo) entries.append({kOwner, QStringLiteral("logo"), edited.logo});
    if (!settings_.Write(entries, why)) return false;
    owner_ = edited;
    return true;
}

QString TCunstomFrm::Correction() const {
    const auto chosen = static_cast<TimeCorrection>(std::max(0, correctionbox->currentIndex()));
    const std::string_view word = TimeCorrectionWord(chosen);
    return QString::fromLatin1(word.data(), qsizetype(word.size()));
}

bool TCunstomFrm::Ask(const QString& text) {
    if (ask_) return ask_(text);
    return QMessageBox::question(this, windowTitle(), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

void TCunstomFrm::BitBtn1Click() { close(); }

void TCunstomFrm::closeEvent(QCloseEvent* event) {
    // Whichever way the window closes, what it shows is stored. When the file
    // cannot take it, the user chooses: close without saving, or stay with
    // the edits to put them right. A window never shown has loaded nothing
    // and stores nothing.
    QString why;
    if (isVisible() && !Store(&why)) {
        sink_.Show(QStringLiteral("設定ファイル %1 に書き込めませんでした。\n%2\n変更は保存されていません。")
                       .arg(settings_.Path(), why)
                       .toStdString(),
                   {});
        if (!Ask(QStringLiteral("変更を保存せずに閉じますか？\n（「いいえ」で画面に戻り、直すことができます）"))) {
            event->ignore();
            return;
        }
    }
    QWidget::closeEvent(event);
}

void TCunstomFrm::printbtnClick() {
    if (!printer_) {
        if (!ownPrinter_) ownPrinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_ = ownPrinter_.get();
    }
    QPrintDialog dialog(printer_, this);
    dialog.setObjectName(QStringLiteral("PrinterSetupDialog1"));
    dialog.setWindowTitle(QStringLiteral("プリンタ設定"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    // The dialog only chooses the printer: its confirm button must not say
    // 印刷 (Print), as Qt's own text does.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) ok->setText(QStringLiteral("設定"));
    }
    dialog.exec();
}

}  // namespace zelvara
