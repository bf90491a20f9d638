// The page "データ入力": entry controls bound to the current person, the
// palace fields, navigation, find, extraction and the person grid.
#include "main/main_window.h"

#include "register/exact_time_hours.h"

#include "common/qstring_utf8.h"
#include "engine/chart_request.h"
#include "main/register_write_guard.h"
#include "register/person_grid_model.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
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
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setFixedWidth(width);
    return box;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, const QString& hint = {}) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
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

QWidget* TMainForm1::BuildDataInputPage() {
    datainput = new QWidget;
    datainput->setObjectName(QStringLiteral("datainput"));
    auto* page = new QVBoxLayout(datainput);
    page->setContentsMargins(6, 6, 6, 6);
    page->setSpacing(5);

    // Birth data of the current person and the chart button.
    auto* entry = new QHBoxLayout;
    entry->setSpacing(4);
    entry->addWidget(new QLabel(QStringLiteral("氏名"), datainput));
    inName = new QLineEdit(datainput);
    inName->setObjectName(QStringLiteral("inName"));
    inName->setFixedWidth(130);
    entry->addWidget(inName);
    entry->addSpacing(6);
    inYy = new QLineEdit(datainput);
    inYy->setObjectName(QStringLiteral("inYy"));
    inYy->setFixedWidth(44);
    inYy->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhNoPredictiveText);
    inYy->setToolTip(
        QStringLiteral("西暦で入力します（S50 などの元号もF2キーで西暦に直せます。"
                       "S34/5/7 のように生年月日をまとめて入れてF2キーを押すと、年・月・日に分けます）"));
    inYy->installEventFilter(this);
    entry->addWidget(inYy);
    entry->addWidget(new QLabel(QStringLiteral("年"), datainput));
    inMm = DropDown(datainput, "inMm", 48);
    for (int m = 1; m <= 12; ++m) inMm->addItem(QString::number(m));
    entry->addWidget(inMm);
    entry->addWidget(new QLabel(QStringLiteral("月"), datainput));
    inDd = DropDown(datainput, "inDd", 48);
    for (int d = 1; d <= 31; ++d) inDd->addItem(QString::number(d));
    entry->addWidget(inDd);
    entry->addWidget(new QLabel(QStringLiteral("日"), datainput));
    entry->addSpacing(6);
    inTime = DropDown(datainput, "inTime", 112);
    for (std::string_view period : kHourPeriodTexts) inTime->addItem(Q(period));
    inTime->addItem(Q(kUnknownHourText));
    entry->addWidget(inTime);
    BuildBirthTimeControls(datainput, entry);
    ChkSex = DropDown(datainput, "ChkSex", 46);
    ChkSex->addItems({QStringLiteral("男"), QStringLiteral("女")});
    entry->addWidget(ChkSex);
    entry->addStretch(1);
    btnOk = Button(datainput, "btnOk", QStringLiteral("鑑定(&K)"));
    btnOk->setMinimumWidth(80);
    QFont okFont = btnOk->font();
    okFont.setBold(true);
    btnOk->setFont(okFont);
    connect(btnOk, &QPushButton::clicked, this, &TMainForm1::btnOkClick);
    entry->addWidget(btnOk);
    page->addLayout(entry);

    // Why nothing typed here is kept, while the register is closed or read-only.
    registerStatus = new QLabel(datainput);
    registerStatus->setObjectName(QStringLiteral("registerStatus"));
    registerStatus->setWordWrap(true);
    registerStatus->hide();
    page->addWidget(registerStatus);

    // The twelve palace fields in their three groups.
    auto* groups = new QHBoxLayout;
    groups->setSpacing(6);
    for (const PalaceGroup& g : kGroups) {
        auto* box = new QGroupBox(datainput);
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
        QPushButton* b = Button(datainput, n.name, S(n.caption), S(n.hint));
        const auto action = n.action;
        connect(b, &QPushButton::clicked, this, [this, action] { (persons_.*action)(); });
        nav->addWidget(b);
        if (action == &PersonTable::Append || action == &PersonTable::Post || action == &PersonTable::Delete)
            writing << b;
    }
    GuardRegisterWrites(persons_, writing);
    page->addLayout(nav);

    // Find by name, and the extraction that reads as a sentence.
    auto* search = new QHBoxLayout;
    search->setSpacing(4);
    Edit1 = new QLineEdit(datainput);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setToolTip(QStringLiteral("氏名を入力し左のボタンを押下します"));
    Edit1->setFixedWidth(110);
    QPushButton* findbtn =
        Button(datainput, "findbtn", QStringLiteral("氏名で探す"), QStringLiteral("該当する人名を検索します"));
    connect(findbtn, &QPushButton::clicked, this, [this] { persons_.FindByName(Edit1->text()); });
    search->addWidget(findbtn);
    search->addWidget(Edit1);
    search->addSpacing(14);
    kyubox = new QComboBox(datainput);
    kyubox->setObjectName(QStringLiteral("kyubox"));
    for (int p = 1; p <= kPalaces; ++p) kyubox->addItem(Q(kPalaceNames[p]));
    kyubox->setCurrentIndex(-1);
    search->addWidget(kyubox);
    search->addWidget(new QLabel(QStringLiteral("に"), datainput));
    hosibox = new QComboBox(datainput);
    hosibox->setObjectName(QStringLiteral("hosibox"));
    for (int star = 1; star <= kStars; ++star) hosibox->addItem(Q(kStarShortNames[star]));
    hosibox->setCurrentIndex(-1);
    search->addWidget(hosibox);
    search->addWidget(new QLabel(QStringLiteral("が入っている"), datainput));
    QPushButton* cyusyutubtn = Button(datainput, "cyusyutubtn", QStringLiteral("抽出開始"));
    connect(cyusyutubtn, &QPushButton::clicked, this, &TMainForm1::cyusyutubtnClick);
    search->addWidget(cyusyutubtn);
    QPushButton* all_disp = Button(datainput, "all_disp", QStringLiteral("全表示"));
    connect(all_disp, &QPushButton::clicked, this, [this] { persons_.ClearFilter(); });
    search->addWidget(all_disp);
    search->addStretch(1);
    page->addLayout(search);

    // The person grid.
    DBGrid1 = new QTableView(datainput);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
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
    for (const auto& [name, caption] : hidden) Button(datainput, name, S(caption))->hide();
    return datainput;
}

void TMainForm1::BindPersonControls() {
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
    connect(&persons_, &PersonTable::accessChanged, this, &TMainForm1::ShowRegisterStatus);
    LoadBoundControls();
}

void TMainForm1::EditField(int field, const QString& text) {
    if (loadingControls_) return;
    editingFromControl_ = true;
    persons_.SetValue(field, text);
    editingFromControl_ = false;
}

void TMainForm1::LoadBoundControls() {
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
    loadingControls_ = false;
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

void TMainForm1::ShowRegisterStatus() {
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

void TMainForm1::SyncGridSelection() {
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

void TMainForm1::cyusyutubtnClick() {
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

}  // namespace zelvara
