#include "main/data_input_page.h"

#include "common/named_object.h"
#include "common/qstring_utf8.h"
#include "engine/context.h"
#include "main/birth_time_dialog.h"
#include "main/help_topics.h"
#include "main/register_write_guard.h"
#include "register/person_grid_model.h"
#include "register/person_table.h"
#include "session/person_birth_time.h"
#include "store/convention_profiles.h"
#include "store/settings_file.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace zelvara {
namespace {

struct PalaceGroup {
    const char16_t* caption;
    QColor colour;
    const char16_t* comment;
    int palaces[4];  // palace numbers 1..12
};
const PalaceGroup kGroups[3] = {
    {u"六親宮", QColor(128, 0, 0), u"（肉親との情関係を見ます）", {1, 3, 4, 5}},
    {u"成敗宮", QColor(255, 0, 0), u"（社会的成功を見ます）", {2, 6, 10, 8}},
    {u"幸禍宮", QColor(0, 128, 0), u"（その他色々をみます）", {9, 11, 12, 7}},
};

// The caption beside a palace field: the register's name of the field (官録
// for 官禄, as the register has always spelt it) with 宮, except 命宮.
QString PalaceFieldCaption(int palace) {
    const QString label = FieldLabel(PalaceFieldIndex(palace));
    return palace == kLifePalace ? label : label + QStringLiteral("宮");
}

QString S(const char16_t* text) { return QString::fromUtf16(text); }

// The year, month and day as the program reads and stores them: full-width
// digits, letters and slashes, which Japanese input methods type, in ASCII,
// without blanks at the ends.
QString DateBoxText(const QString& text) { return QString::fromStdString(NormalizeTypedText(text.toStdString())); }

QComboBox* DropDown(QWidget* parent, const char* name, int width) {
    auto* box = Named(new QComboBox(parent), name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setFixedWidth(width);
    return box;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, const QString& hint = {}) {
    auto* b = Named(new QPushButton(caption, parent), name);
    if (!hint.isEmpty()) b->setToolTip(hint);
    return b;
}

// Width of a grid column in the grid's font: the 氏名 column holds a full
// ten-character name (the field's 20 bytes) on one line, the period text
// stays whole at any screen scale.
int GridColumnWidth(int column, const QFontMetrics& metrics) {
    const int margins = 2 * metrics.averageCharWidth() + 4;
    if (column == 0)  // ten of the widest characters, and the cell's margins
        return metrics.horizontalAdvance(QString(10, QChar(0x5F45))) + margins;
    constexpr int kLeading[] = {92, 38, 24, 24, 76, 22};
    if (column == 4) return std::max(kLeading[4], metrics.horizontalAdvance(QStringLiteral("23:00-01:00")) + margins);
    return column < int(std::size(kLeading)) ? kLeading[column] : 33;
}

}  // namespace

DataInputPage::DataInputPage(PersonTable& persons, PersonBirthTime& birthTimes, MessageSink& sink,
                             std::function<bool(const QString&)> ask, QWidget* parent)
    : QWidget(parent), persons_(persons), birthTimes_(birthTimes), sink_(sink), ask_(std::move(ask)) {
    setObjectName(QStringLiteral("datainput"));
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(6, 6, 6, 6);
    page->setSpacing(5);

    // Birth data of the current person and the chart button.
    auto* entry = new QHBoxLayout;
    entry->setSpacing(4);
    entry->addWidget(new QLabel(QStringLiteral("氏名"), this));
    inName = Named(new QLineEdit(this), "inName");
    inName->setFixedWidth(130);
    entry->addWidget(inName);
    entry->addSpacing(6);
    inYy = Named(new QLineEdit(this), "inYy");
    inYy->setFixedWidth(44);
    inYy->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhNoPredictiveText);
    inYy->setToolTip(
        QStringLiteral("西暦で入力します（S50 などの元号もF2キーで西暦に直せます。"
                       "S34/5/7 のように生年月日をまとめて入れてF2キーを押すと、年・月・日に分けます）"));
    inYy->installEventFilter(this);
    entry->addWidget(inYy);
    entry->addWidget(new QLabel(QStringLiteral("年"), this));
    inMm = DropDown(this, "inMm", 48);
    for (int m = 1; m <= 12; ++m) inMm->addItem(QString::number(m));
    entry->addWidget(inMm);
    entry->addWidget(new QLabel(QStringLiteral("月"), this));
    inDd = DropDown(this, "inDd", 48);
    for (int d = 1; d <= 31; ++d) inDd->addItem(QString::number(d));
    entry->addWidget(inDd);
    entry->addWidget(new QLabel(QStringLiteral("日"), this));
    entry->addSpacing(6);
    inTime = DropDown(this, "inTime", 112);
    for (std::string_view period : kHourPeriodTexts) inTime->addItem(Q(period));
    inTime->addItem(Q(kUnknownHourText));
    entry->addWidget(inTime);
    BuildBirthTimeControls(entry);
    BuildProfileControls(entry);
    ChkSex = DropDown(this, "ChkSex", 46);
    ChkSex->addItems({QStringLiteral("男"), QStringLiteral("女")});
    entry->addWidget(ChkSex);
    entry->addStretch(1);
    btnOk = Button(this, "btnOk", QStringLiteral("鑑定(&K)"));
    btnOk->setMinimumWidth(80);
    QFont okFont = btnOk->font();
    okFont.setBold(true);
    btnOk->setFont(okFont);
    entry->addWidget(btnOk);
    page->addLayout(entry);

    // Why nothing typed here is kept, while the register is closed or read-only.
    registerStatus = Named(new QLabel(this), "registerStatus");
    registerStatus->setWordWrap(true);
    registerStatus->hide();
    page->addWidget(registerStatus);

    // The twelve palace fields in their three groups.
    auto* groups = new QHBoxLayout;
    groups->setSpacing(6);
    for (const PalaceGroup& g : kGroups) {
        auto* box = new QGroupBox(this);
        auto* grid = new QGridLayout(box);
        grid->setContentsMargins(6, 4, 6, 4);
        grid->setHorizontalSpacing(4);
        grid->setVerticalSpacing(3);
        auto* caption = new QLabel(S(g.caption), box);
        QFont bold = caption->font();
        bold.setBold(true);
        caption->setFont(bold);
        QPalette pal = caption->palette();
        pal.setColor(QPalette::WindowText, g.colour);
        caption->setPalette(pal);
        auto* comment = new QLabel(S(g.comment), box);
        grid->addWidget(caption, 0, 0, 1, 2);
        grid->addWidget(comment, 0, 2, 1, 2);
        for (int i = 0; i < 4; ++i) {
            const int palace = g.palaces[i];
            auto* edit = new QLineEdit(box);
            edit->setObjectName(FieldName(PalaceFieldIndex(palace)) + QStringLiteral("_ed"));
            edit->setFixedWidth(44);
            palaceEdits_[palace] = edit;
            grid->addWidget(new QLabel(PalaceFieldCaption(palace), box), 1 + i / 2, (i % 2) * 2);
            grid->addWidget(edit, 1 + i / 2, (i % 2) * 2 + 1);
        }
        groups->addWidget(box);
    }
    page->addLayout(groups);

    // Navigation and editing.
    auto* nav = new QHBoxLayout;
    nav->setSpacing(3);
    struct NavButton {
        const char* name;
        const char16_t* caption;
        const char16_t* hint;
        bool (PersonTable::*action)();
    };
    const NavButton navButtons[] = {
        {"gotop", u"先頭へ(&F)", u"データの先頭にジャンプします", &PersonTable::First},
        // Alt+P is ﾃﾞｰﾀ登録's: two buttons on one key only take turns at the focus.
        {"gomae", u"1つ前へ(&B)", u"１データ前へ移動します", &PersonTable::Prior},
        {"gosaki", u"1つ先へ(&N)", u"１データ先へ移動します", &PersonTable::Next},
        {"golast", u"最後へ(&L)", u"データの最後にジャンプします", &PersonTable::Last},
        {"gonew", u"新規作成(&I)", u"データを新規に追加します", &PersonTable::Append},
        {"gotoroku", u"ﾃﾞｰﾀ登録(&P)", u"データを登録します", &PersonTable::Post},
        {"godel", u"ﾃﾞｰﾀ削除(&D)", u"データを削除します", &PersonTable::Delete},
    };
    QList<QWidget*> writing;
    for (const NavButton& n : navButtons) {
        QPushButton* b = Button(this, n.name, S(n.caption), S(n.hint));
        const auto action = n.action;
        connect(b, &QPushButton::clicked, this, [&persons = persons_, action] { (persons.*action)(); });
        nav->addWidget(b);
        if (action == &PersonTable::Append || action == &PersonTable::Post || action == &PersonTable::Delete)
            writing << b;
    }
    GuardRegisterWrites(persons_, writing);
    page->addLayout(nav);

    // Find by name, and the extraction that reads as a sentence.
    auto* search = new QHBoxLayout;
    search->setSpacing(4);
    Edit1 = Named(new QLineEdit(this), "Edit1");
    Edit1->setToolTip(QStringLiteral("氏名を入力し左のボタンを押下します"));
    Edit1->setFixedWidth(110);
    QPushButton* findbtn =
        Button(this, "findbtn", QStringLiteral("氏名で探す"), QStringLiteral("該当する人名を検索します"));
    connect(findbtn, &QPushButton::clicked, this, [this] { persons_.FindByName(Edit1->text()); });
    search->addWidget(findbtn);
    search->addWidget(Edit1);
    search->addSpacing(14);
    kyubox = Named(new QComboBox(this), "kyubox");
    for (int p = 1; p <= kPalaces; ++p) kyubox->addItem(Q(kPalaceNames[p]));
    kyubox->setCurrentIndex(-1);
    search->addWidget(kyubox);
    search->addWidget(new QLabel(QStringLiteral("に"), this));
    hosibox = Named(new QComboBox(this), "hosibox");
    for (int star = 1; star <= kStars; ++star) hosibox->addItem(Q(kStarShortNames[star]));
    hosibox->setCurrentIndex(-1);
    search->addWidget(hosibox);
    search->addWidget(new QLabel(QStringLiteral("が入っている"), this));
    QPushButton* cyusyutubtn = Button(this, "cyusyutubtn", QStringLiteral("抽出開始"));
    connect(cyusyutubtn, &QPushButton::clicked, this, &DataInputPage::cyusyutubtnClick);
    search->addWidget(cyusyutubtn);
    QPushButton* all_disp = Button(this, "all_disp", QStringLiteral("全表示"));
    connect(all_disp, &QPushButton::clicked, this, [this] { persons_.ClearFilter(); });
    search->addWidget(all_disp);
    search->addStretch(1);
    // The client's own data, at the client's request.
    auto* personalData = Named(new QToolButton(this), "personalDatabtn");
    personalData->setText(QStringLiteral("個人データ"));
    personalData->setToolTip(QStringLiteral("この人物のデータの書き出しと完全な削除"));
    personalData->setPopupMode(QToolButton::InstantPopup);
    auto* personalMenu = new QMenu(personalData);
    personalMenu->setObjectName(QStringLiteral("personalDataMenu"));
    QAction* exportPerson = personalMenu->addAction(QStringLiteral("この人物のデータを書き出す"));
    exportPerson->setObjectName(QStringLiteral("exportPersonAction"));
    connect(exportPerson, &QAction::triggered, this, &DataInputPage::exportPersonRequested);
    QAction* erasePerson = personalMenu->addAction(QStringLiteral("この人物のデータを完全に削除"));
    erasePerson->setObjectName(QStringLiteral("erasePersonAction"));
    connect(erasePerson, &QAction::triggered, this, &DataInputPage::erasePersonRequested);
    personalData->setMenu(personalMenu);
    search->addWidget(personalData);
    page->addLayout(search);

    // The person grid.
    DBGrid1 = Named(new QTableView(this), "DBGrid1");
    gridModel_ = new PersonGridModel(persons_, DBGrid1);
    DBGrid1->setModel(gridModel_);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->verticalHeader()->setDefaultSectionSize(20);
    DBGrid1->verticalHeader()->setFixedWidth(14);
    DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DBGrid1->horizontalHeader()->setMinimumSectionSize(20);
    DBGrid1->setTextElideMode(Qt::ElideNone);
    DBGrid1->setWordWrap(false);  // one line a row: no fragment of a second line in a 20-unit row
    for (int c = 0; c < gridModel_->columnCount(); ++c)
        DBGrid1->setColumnWidth(c, GridColumnWidth(c, DBGrid1->fontMetrics()));
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& now) {
        if (now.isValid() && now.row() != persons_.CurrentRow() && !persons_.MoveTo(now.row())) SyncGridSelection();
    });
    page->addWidget(DBGrid1, 1);

    // Batch tools: present, hidden.
    const std::pair<const char*, const char16_t*> hidden[] = {
        {"datacreate", u"2DB"}, {"TXTbtn", u"2TXT"}, {"CASIOBTN", u"CASIO"}, {"SpeedButton5", u"旧"}};
    for (const auto& [name, caption] : hidden) Button(this, name, S(caption))->hide();
    BindPersonControls();
}

void DataInputPage::SetPlaces(const DataFolders& folders, const QString& settingsPath) {
    folders_ = folders;
    settingsPath_ = settingsPath;
}

void DataInputPage::Message(const QString& text) { sink_.Show(text.toStdString(), {}); }

BirthInput DataInputPage::ReadBirthInput() const {
    return {inName->text().toStdString(),      ChkSex->currentText().toStdString(),
            inYy->text().toStdString(),        inMm->currentText().toStdString(),
            inDd->currentText().toStdString(), inTime->currentText().toStdString()};
}

QString DataInputPage::Name() const { return inName->text(); }

QString DataInputPage::HourText() const { return inTime->currentText(); }

void DataInputPage::ShowCastFields(const PersonChartFields& fields, int hourIndex, bool exact) {
    inYy->setText(fields.year);
    const bool loading = loadingControls_;
    loadingControls_ = exact;
    inTime->setCurrentIndex(hourIndex);
    loadingControls_ = loading;
    for (int p = 1; p <= kPalaces; ++p) palaceEdits_[p]->setText(fields.mainStars[p]);
}

bool DataInputPage::eventFilter(QObject* watched, QEvent* event) {
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
    return QWidget::eventFilter(watched, event);
}

void DataInputPage::BindPersonControls() {
    auto bindLine = [this](QLineEdit* edit, int field) {
        connect(edit, &QLineEdit::textChanged, this, [this, field](const QString& text) { EditField(field, text); });
    };
    auto bindCombo = [this](QComboBox* box, int field) {
        connect(box, &QComboBox::currentTextChanged, this,
                [this, field](const QString& text) { EditField(field, text); });
    };
    // The date boxes show and store the normalised text as soon as it is typed
    // (an input method commits whole words); the changed text comes back here.
    connect(inYy, &QLineEdit::textChanged, this, [this](const QString& text) {
        const QString plain = DateBoxText(text);
        if (plain == text) return EditField(kFieldYear, text);
        const int cursor = inYy->cursorPosition();
        inYy->setText(plain);
        inYy->setCursorPosition(std::min<int>(cursor, int(plain.size())));
    });
    for (const auto& [box, field] : {std::pair{inMm, kFieldMonth}, std::pair{inDd, kFieldDay}}) {
        connect(box, &QComboBox::currentTextChanged, this, [this, box = box, field = field](const QString& text) {
            const QString plain = DateBoxText(text);
            if (plain == text) return EditField(field, text);
            box->setEditText(plain);
        });
    }
    bindLine(inName, kFieldName);
    bindCombo(inTime, kFieldTime);
    bindCombo(ChkSex, kFieldSex);
    for (int p = 1; p <= kPalaces; ++p) bindLine(palaceEdits_[p], PalaceFieldIndex(p));

    connect(&persons_, &PersonTable::currentChanged, this, [this] {
        if (!editingFromControl_)  // a first keystroke into an empty register appends
            LoadBoundControls();
        SyncGridSelection();
    });
    connect(&persons_, &PersonTable::recordsReset, this, [this] { SyncGridSelection(); });
    connect(&persons_, &PersonTable::accessChanged, this, &DataInputPage::ShowRegisterStatus);
    LoadBoundControls();
}

void DataInputPage::EditField(int field, const QString& text) {
    if (loadingControls_) return;
    editingFromControl_ = true;
    persons_.SetValue(field, text);
    editingFromControl_ = false;
}

void DataInputPage::LoadBoundControls() {
    loadingControls_ = true;
    auto setCombo = [](QComboBox* box, const QString& text) {
        const int at = box->findText(text);
        box->setCurrentIndex(at);
        box->setEditText(text);
    };
    inName->setText(persons_.Value(kFieldName));
    inYy->setText(persons_.Value(kFieldYear));
    setCombo(inMm, persons_.Value(kFieldMonth));
    setCombo(inDd, persons_.Value(kFieldDay));
    setCombo(inTime, persons_.Value(kFieldTime));
    setCombo(ChkSex, persons_.Value(kFieldSex));
    for (int p = 1; p <= kPalaces; ++p) palaceEdits_[p]->setText(persons_.Value(PalaceFieldIndex(p)));
    ShowBirthTimeMark();
    RefreshProfiles();
    loadingControls_ = false;
}

void DataInputPage::ShowRegisterStatus() {
    // The file on this computer says nothing while it works; a server
    // register always says which one is open.
    QString text = persons_.Unavailability();
    const bool warning = !text.isEmpty();
    if (text.isEmpty() && persons_.IsServer()) text = QStringLiteral("名簿：サーバー %1").arg(persons_.Location());
    registerStatus->setStyleSheet(warning
                                      ? QStringLiteral("QLabel { color: #800000; background: #fff4d6; padding: 2px; }")
                                      : QStringLiteral("QLabel { color: #303030; padding: 2px; }"));
    registerStatus->setText(text);
    registerStatus->setVisible(!text.isEmpty());
}

void DataInputPage::SyncGridSelection() {
    const int row = persons_.CurrentRow();
    const QSignalBlocker block(DBGrid1->selectionModel());
    if (row < 0) {
        DBGrid1->selectionModel()->clear();
        return;
    }
    const QModelIndex index = gridModel_->index(row, 0);
    DBGrid1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    DBGrid1->scrollTo(index);
    DBGrid1->viewport()->update();
}

void DataInputPage::cyusyutubtnClick() {
    if (kyubox->currentIndex() < 0) {
        Message(QStringLiteral("宮が選択されていません。"));
        return;
    }
    const QString field = FieldName(PalaceFieldIndex(kyubox->currentIndex() + 1));
    if (hosibox->currentIndex() < 0) {
        Message(QStringLiteral("星が選択されていません。"));
        return;
    }
    persons_.SetFilter(field, hosibox->currentText());
}

// The exact birth time: the button and its dialog, the hour box showing the
// period of the corrected time with its mark, the corrected moment cast.
void DataInputPage::BuildBirthTimeControls(QHBoxLayout* row) {
    birthTimeMark = Named(new QLabel(QStringLiteral("時刻から"), this), "birthTimeMark");
    birthTimeMark->setStyleSheet(QStringLiteral("color: #0000a0"));
    birthTimeMark->hide();
    row->addWidget(birthTimeMark);
    birthTimeBtn = Named(new QPushButton(QStringLiteral("出生時刻・出生地…"), this), "birthTimeBtn");
    birthTimeBtn->setToolTip(QStringLiteral("出生時刻と出生地を入れると、その時刻から時刻（二時間）を決めます"));
    birthTimeBtn->setMinimumWidth(birthTimeBtn->sizeHint().width());  // the whole caption, never cut
    connect(birthTimeBtn, &QPushButton::clicked, this, &DataInputPage::OpenBirthTimeDialog);
    row->addWidget(birthTimeBtn);
}

TimeCorrection DataInputPage::Correction() const {
    return correction_ ? correction_() : LoadTimeCorrection(SettingsFile(settingsPath_));
}

void DataInputPage::ShowBirthTimeMark() {
    const std::optional<BirthTimeEntry> entry = birthTimes_.CurrentEntry();
    inTime->setEnabled(!entry);
    birthTimeMark->setVisible(entry.has_value());
    if (!entry) return;
    // The period of the corrected time, shown only: the record keeps its
    // hour field until a chart is cast.
    SilentSink quiet;
    EngineContext scratch(folders_.shipped.toStdString(), quiet);
    const std::optional<CorrectedBirth> moment = birthTimes_.Corrected(scratch, ReadBirthInput(), Correction());
    if (!moment) {
        birthTimeMark->setToolTip(QStringLiteral("出生時刻 %1：生年月日を確かめて下さい").arg(entry->clockTime));
        return;
    }
    const bool loading = loadingControls_;
    loadingControls_ = true;
    inTime->setCurrentIndex(moment->hourIndex);
    loadingControls_ = loading;
    birthTimeMark->setToolTip(QStringLiteral("出生時刻 ") + Q(CorrectionLine(*moment)));
}

void DataInputPage::OpenBirthTimeDialog() {
    std::vector<Birthplace> places;
    std::vector<GazetteerPlace> world;
    std::string message;
    const std::string folder = (folders_.shipped + QLatin1Char('/')).toStdString();
    if (LoadBirthplaces(folder + std::string(kBirthplacesFile), places, message) < 0 ||
        LoadGazetteer(folder + std::string(kGazetteerFile), world, message) < 0)
        sink_.Show(message + "\n出生地は東経で入力して下さい。", {});
    QString why;
    BirthTimeTable* table = birthTimes_.Table(&why);
    if (table && !persons_.IsWritable()) {
        why = persons_.Unavailability();
        if (why.isEmpty()) why = QStringLiteral("名簿は読み取り専用で開いています。");
    }
    BirthTimeDialog dialog(table, birthTimes_.CurrentPerson(), why, std::move(places), std::move(world), sink_, ask_,
                           this);
    // A help window of the dialog's own, so that it answers while the dialog is open.
    dialog.SetHelp([this](QWidget* parent) { ShowHelpFor(parent, folders_); });
    if (birthTimeDialogHook_)
        birthTimeDialogHook_(dialog);
    else
        dialog.exec();
    // A time removed gives the hour box back the record's own period.
    LoadBoundControls();
}

// The convention profile chosen for the client: a combo beside the exact
// time, written to the register as soon as it is chosen.
void DataInputPage::BuildProfileControls(QHBoxLayout* row) {
    profileLabel = Named(new QLabel(QStringLiteral("流派(&R)"), this), "profileLabel");
    profileBox = Named(new QComboBox(this), "profileBox");
    profileBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    profileBox->setToolTip(QStringLiteral("この人物の命盤を作る規則の組（流派）。（既定）は設定の既定の組で作ります"));
    profileLabel->setBuddy(profileBox);
    connect(profileBox, &QComboBox::activated, this, &DataInputPage::ChooseProfile);
    row->addWidget(profileLabel);
    row->addWidget(profileBox);
    GuardRegisterWrites(persons_, {profileBox});
    profileLabel->hide();
    profileBox->hide();
}

QString DataInputPage::CurrentProfileName() const {
    const int row = persons_.CurrentRow();
    return row >= 0 ? persons_.Profile(persons_.Record(row).rowId) : QString();
}

void DataInputPage::RefreshProfiles() {
    const QStringList names = ConventionProfileNames(SettingsFile(settingsPath_));
    const bool shown = names.size() > 1;  // 標準 is always there
    profileLabel->setVisible(shown);
    profileBox->setVisible(shown);
    if (!shown) return;
    const QString chosen = CurrentProfileName();
    const QSignalBlocker quiet(profileBox);
    profileBox->clear();
    profileBox->addItem(QStringLiteral("（既定）"), QString());
    for (const QString& name : names) profileBox->addItem(name, name);
    if (!chosen.isEmpty() && !names.contains(chosen))  // another computer's profile, kept as it is
        profileBox->addItem(chosen + QStringLiteral("（この設定にない）"), chosen);
    profileBox->setCurrentIndex(std::max(0, profileBox->findData(chosen)));
    // The longest name whole, never cut (the style's own hint leaves too
    // little room for full-width text), with room for the arrow.
    int widest = 0;
    for (int i = 0; i < profileBox->count(); ++i)
        widest = std::max(widest, profileBox->fontMetrics().horizontalAdvance(profileBox->itemText(i)));
    profileBox->setMinimumWidth(std::max(profileBox->sizeHint().width(), widest + 40));
}

void DataInputPage::ChooseProfile(int index) {
    const QString name = profileBox->itemData(index).toString();
    if (name == CurrentProfileName()) return;
    const int row = persons_.CurrentRow();
    const qint64 rowId = row >= 0 ? persons_.Record(row).rowId : -1;
    const PersonWrite w = rowId >= 0 ? persons_.WriteProfile(rowId, name) : PersonWrite::StaleRecord();
    if (!w.Ok())
        Message(w.result == PersonWrite::Result::Stale
                    ? QStringLiteral("流派は名簿に登録した人物に選べます。先にデータを登録して下さい。")
                    : w.why);
    RefreshProfiles();    // the choice as stored: the new one, or back to the old one
    ShowBirthTimeMark();  // the profile may correct the time otherwise
}

void DataInputPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    RefreshProfiles();
}

void DataInputPage::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible()) RefreshProfiles();
}

bool DataInputPage::ExactBirthOf(EngineContext& ctx, const BirthInput& in, std::optional<CorrectedBirth>& exact) {
    exact = birthTimes_.Corrected(ctx, in, Correction());
    return exact.has_value() || !birthTimes_.CurrentEntry();
}

}  // namespace zelvara
