#include "main/consultation_page.h"

#include "common/named_object.h"
#include "engine/context.h"
#include "main/register_write_guard.h"
#include "register/consultation_list_model.h"
#include "register/consultation_storage.h"
#include "register/person_fields.h"
#include "register/person_table.h"
#include "register/sqlite_copy.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableView>
#include <QTime>
#include <QVBoxLayout>

namespace zelvara {
namespace {

QString EntryName(const ConsultationEntry& e) {
    return e.theme.isEmpty() ? ConsultationWhenText(e.date, e.time)
                             : ConsultationWhenText(e.date, e.time) + QStringLiteral(" ") + e.theme;
}

// The list's columns wide enough for 2027-04-12, 14:30, a short theme,
// 120000円（済） and 2027-05-10 14:30 in the window's own size.
constexpr std::pair<int, int> kColumnWidths[] = {{ConsultationListModel::kDate, 80},
                                                 {ConsultationListModel::kTime, 42},
                                                 {ConsultationListModel::kTheme, 60},
                                                 {ConsultationListModel::kFee, 110}};
constexpr int kListWidth = 410;

}  // namespace

ConsultationPage::ConsultationPage(PersonTable& persons, MessageSink& sink, std::function<bool(const QString&)> ask,
                                   QWidget* parent)
    : QWidget(parent), persons_(persons), sink_(sink), ask_(std::move(ask)) {
    setObjectName(QStringLiteral("consultationsheet"));
    model_ = new ConsultationListModel(this);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(4);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(BuildList());
    split->addWidget(BuildEditor());
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    split->setSizes({kListWidth, kListWidth});
    column->addWidget(split, 1);

    GuardRegisterWrites(persons_, {new_, save_, delete_, capture_});
    ShowWritable();
    connect(&persons_, &PersonTable::currentChanged, this, [this] {
        if (isVisible())
            FollowClient();
        else
            listStale_ = true;
    });
    connect(&persons_, &PersonTable::aboutToClose, this, [this] { book_.reset(); });
    connect(&persons_, &PersonTable::accessChanged, this, [this] {
        book_.reset();
        ShowWritable();
        listStale_ = true;
        if (isVisible()) FollowClient();
    });
    NewEntry();
}

ConsultationPage::~ConsultationPage() = default;

QWidget* ConsultationPage::BuildList() {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    list_ = Named(new QTableView(box), "consultationList");
    list_->setModel(model_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->hide();
    list_->horizontalHeader()->setStretchLastSection(true);
    for (const auto& [column, width] : kColumnWidths) list_->setColumnWidth(column, width);
    list_->setWordWrap(false);
    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { ListRowChosen(); });
    column->addWidget(list_, 1);
    status_ = Named(new QLabel(box), "consultationStatus");
    status_->setWordWrap(true);
    status_->hide();
    column->addWidget(status_);

    auto* row = new QHBoxLayout;
    capture_ = Named(new QPushButton(QStringLiteral("この命盤で記録"), box), "captureChartBtn");
    capture_->setToolTip(QStringLiteral("出生図表示の命盤（重ねている層と使った出生時刻）で新しい記録を始めます"));
    connect(capture_, &QPushButton::clicked, this, &ConsultationPage::Capture);
    reopen_ = Named(new QPushButton(QStringLiteral("この記録の命盤を開く"), box), "reopenChartBtn");
    reopen_->setToolTip(QStringLiteral("選んだ記録を付けたときの命盤を、そのときの出生と層で出生図表示に出します"));
    connect(reopen_, &QPushButton::clicked, this, &ConsultationPage::Reopen);
    row->addWidget(capture_);
    row->addWidget(reopen_);
    column->addLayout(row);
    auto* prints = new QHBoxLayout;
    printOne_ = Named(new QPushButton(QStringLiteral("この記録を印刷"), box), "printEntryBtn");
    connect(printOne_, &QPushButton::clicked, this, &ConsultationPage::PrintOne);
    printAll_ = Named(new QPushButton(QStringLiteral("全部印刷"), box), "printEntriesBtn");
    printAll_->setToolTip(QStringLiteral("この人物の鑑定記録をすべて印刷します"));
    connect(printAll_, &QPushButton::clicked, this, &ConsultationPage::PrintAll);
    prints->addWidget(printOne_);
    prints->addWidget(printAll_);
    column->addLayout(prints);
    return box;
}

QWidget* ConsultationPage::BuildEditor() {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    editorTitle_ = Named(new QLabel(box), "consultationEditorTitle");
    QFont bold = editorTitle_->font();
    bold.setBold(true);
    editorTitle_->setFont(bold);
    column->addWidget(editorTitle_);

    auto* form = new QFormLayout;
    form->setContentsMargins(0, 0, 0, 0);
    form->setVerticalSpacing(3);
    auto* when = new QHBoxLayout;
    date_ = Named(new QDateEdit(box), "consultationDate");
    date_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    date_->setCalendarPopup(true);
    time_ = Named(new QLineEdit(box), "consultationTime");
    time_->setPlaceholderText(QStringLiteral("HH:MM"));
    time_->setMaximumWidth(64);
    when->addWidget(date_);
    when->addWidget(time_);
    when->addStretch(1);
    form->addRow(QStringLiteral("鑑定日時"), when);
    theme_ = Named(new QComboBox(box), "consultationTheme");
    theme_->setEditable(true);
    theme_->setInsertPolicy(QComboBox::NoInsert);
    // The themes used so far are read when the box is first used: over a
    // large record that takes longer than showing a client's entries.
    theme_->installEventFilter(this);
    theme_->lineEdit()->installEventFilter(this);
    form->addRow(QStringLiteral("テーマ"), theme_);
    question_ = Named(new QPlainTextEdit(box), "consultationQuestion");
    question_->setFixedHeight(question_->fontMetrics().lineSpacing() * 3 + 10);
    form->addRow(QStringLiteral("相談内容"), question_);
    notes_ = Named(new QPlainTextEdit(box), "consultationNotes");
    form->addRow(QStringLiteral("メモ"), notes_);
    auto* money = new QHBoxLayout;
    fee_ = Named(new QLineEdit(box), "consultationFee");
    fee_->setPlaceholderText(QStringLiteral("12,000"));
    fee_->setMaximumWidth(110);
    paid_ = Named(new QCheckBox(QStringLiteral("支払済み"), box), "consultationPaid");
    money->addWidget(fee_);
    money->addWidget(new QLabel(QStringLiteral("円"), box));
    money->addWidget(paid_);
    money->addStretch(1);
    form->addRow(QStringLiteral("料金"), money);
    auto* next = new QHBoxLayout;
    nextDate_ = Named(new QLineEdit(box), "consultationNextDate");
    nextDate_->setPlaceholderText(QStringLiteral("2027-05-10"));
    nextDate_->setMaximumWidth(110);
    nextTime_ = Named(new QLineEdit(box), "consultationNextTime");
    nextTime_->setPlaceholderText(QStringLiteral("HH:MM"));
    nextTime_->setMaximumWidth(64);
    next->addWidget(nextDate_);
    next->addWidget(nextTime_);
    next->addStretch(1);
    form->addRow(QStringLiteral("次回"), next);
    readAs_ = Named(new QLabel(box), "consultationReadAs");
    readAs_->setWordWrap(true);
    readAs_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(QStringLiteral("読んだ盤"), readAs_);
    column->addLayout(form, 1);

    auto* buttons = new QHBoxLayout;
    new_ = Named(new QPushButton(QStringLiteral("新規"), box), "newEntryBtn");
    save_ = Named(new QPushButton(QStringLiteral("保存"), box), "saveEntryBtn");
    delete_ = Named(new QPushButton(QStringLiteral("削除"), box), "deleteEntryBtn");
    connect(new_, &QPushButton::clicked, this, [this] {
        if (SettleEdits(QStringLiteral("新しい記録を始める前に"))) NewEntry();
    });
    connect(save_, &QPushButton::clicked, this, [this] { Save(); });
    connect(delete_, &QPushButton::clicked, this, &ConsultationPage::DeleteEntry);
    buttons->addStretch(1);
    for (QPushButton* b : {new_, save_, delete_}) buttons->addWidget(b);
    column->addLayout(buttons);

    for (QLineEdit* e : {time_, fee_, nextDate_, nextTime_})
        connect(e, &QLineEdit::textEdited, this, [this] { MarkEdited(); });
    for (QPlainTextEdit* e : {question_, notes_})
        connect(e, &QPlainTextEdit::textChanged, this, [this] { MarkEdited(); });
    connect(theme_, &QComboBox::editTextChanged, this, [this] { MarkEdited(); });
    connect(date_, &QDateEdit::dateChanged, this, [this] { MarkEdited(); });
    connect(paid_, &QCheckBox::toggled, this, [this] { MarkEdited(); });
    return box;
}

bool ConsultationPage::eventFilter(QObject* watched, QEvent* event) {
    if (themesStale_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress)) LoadThemes();
    return QWidget::eventFilter(watched, event);
}

const std::vector<ConsultationEntry>& ConsultationPage::Listed() const { return model_->Entries(); }

void ConsultationPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (listStale_) FollowClient();
}

qint64 ConsultationPage::CurrentClient() const {
    const int row = persons_.CurrentRow();
    return row >= 0 ? persons_.Record(row).rowId : -1;
}

QString ConsultationPage::ClientName(qint64 client) const {
    const int row = persons_.CurrentRow();
    if (row >= 0 && persons_.Record(row).rowId == client) return persons_.Record(row).stored[kFieldName];
    for (int r = 0; r < persons_.RecordCount(); ++r)
        if (persons_.Record(r).rowId == client) return persons_.Record(r).stored[kFieldName];
    return {};
}

ConsultationStorage* ConsultationPage::Book(QString* why) {
    const QString key = persons_.Location() + QLatin1Char('|') + QString::number(int(persons_.access()));
    if (book_ && key == bookKey_) return book_.get();
    book_ = OpenConsultations(persons_, why);
    bookKey_ = key;
    themesStale_ = true;
    return book_.get();
}

void ConsultationPage::FollowClient() {
    listStale_ = false;
    const qint64 client = CurrentClient();
    if (client != client_ && edited_ && editing_.client == client_ && client_ >= 0) {
        // The register has moved on; the edits of the last client's entry
        // are saved or dropped now, or stay in the editor when saving failed.
        SettleEdits(QStringLiteral("「%1」の記録から移る前に").arg(ClientName(client_)));
    }
    const bool sameClient = client == client_;
    client_ = client;
    LoadList();
    if (!sameClient && !edited_) NewEntry();
}

void ConsultationPage::LoadList() {
    std::vector<ConsultationEntry> entries;
    QString why;
    if (client_ < 0) {
        ShowStatus(persons_.IsOpen() ? QString() : RegisterWriteRefusal(persons_));
    } else if (ConsultationStorage* book = Book(&why)) {
        if (auto read = book->ForClient(client_, &why)) {
            entries = std::move(*read);
            ShowStatus({});
        } else {
            ShowStatus(QStringLiteral("鑑定記録を読めません。") + why);
        }
    } else {
        ShowStatus(why);
    }
    const qint64 selected = editing_.id;
    {
        const QSignalBlocker quiet(list_->selectionModel());
        model_->SetEntries(std::move(entries));
        const int row = model_->RowOf(selected);
        if (row >= 0) list_->selectRow(row);
    }
    printAll_->setEnabled(!model_->Entries().empty());
}

void ConsultationPage::LoadThemes() {
    QString why;
    ConsultationStorage* book = Book(&why);
    if (!book) return;
    const QString typed = theme_->currentText();
    const bool wasEdited = edited_;
    const std::optional<QStringList> themes = book->Themes(&why);
    if (!themes) return;  // offered the next time the box is used
    themesStale_ = false;
    loading_ = true;
    theme_->clear();
    theme_->addItems(*themes);
    theme_->setEditText(typed);
    loading_ = false;
    edited_ = wasEdited;
}

void ConsultationPage::ShowStatus(const QString& text) {
    status_->setText(text);
    status_->setVisible(!text.isEmpty());
}

void ConsultationPage::ListRowChosen() {
    const int row = list_->selectionModel()->currentIndex().row();
    if (row < 0 || row >= int(model_->Entries().size())) return;
    const ConsultationEntry chosen = model_->Entries()[size_t(row)];
    if (chosen.id == editing_.id && edited_) return;
    if (!SettleEdits(QStringLiteral("ほかの記録を開く前に"))) {
        const QSignalBlocker quiet(list_->selectionModel());
        const int back = model_->RowOf(editing_.id);
        if (back >= 0)
            list_->selectRow(back);
        else
            list_->clearSelection();
        return;
    }
    // Saving may have reloaded the list; the entry is shown as now stored.
    const int now = model_->RowOf(chosen.id);
    if (now >= 0) ShowInEditor(model_->Entries()[size_t(now)]);
}

bool ConsultationPage::SelectEntry(qint64 entryId) {
    if (listStale_ || client_ != CurrentClient()) FollowClient();
    int row = model_->RowOf(entryId);
    if (row < 0) {
        LoadList();  // written since the list was read
        row = model_->RowOf(entryId);
    }
    if (row < 0) return false;
    if (!SettleEdits(QStringLiteral("ほかの記録を開く前に"))) return false;
    row = model_->RowOf(entryId);
    if (row < 0) return false;
    {
        const QSignalBlocker quiet(list_->selectionModel());
        list_->selectRow(row);
        list_->scrollTo(model_->index(row, 0));
    }
    ShowInEditor(model_->Entries()[size_t(row)]);
    return true;
}

void ConsultationPage::ShowInEditor(const ConsultationEntry& e) {
    loading_ = true;
    editing_ = e;
    date_->setDate(e.date.isValid() ? e.date : Today());
    time_->setText(e.time);
    theme_->setEditText(e.theme);
    question_->setPlainText(e.question);
    notes_->setPlainText(e.notes);
    fee_->setText(e.fee ? QLocale::c().toString(*e.fee) : QString());
    paid_->setChecked(e.paid);
    nextDate_->setText(e.nextDate.isValid() ? ConsultationDateText(e.nextDate) : QString());
    nextTime_->setText(e.nextTime);
    QStringList read;
    for (const QString& part : {e.profile, e.reading, e.birthTime})
        if (!part.isEmpty()) read << part;
    readAs_->setText(read.isEmpty() ? QStringLiteral("（なし）") : read.join(QStringLiteral(" ／ ")));
    const QString who = ClientName(e.client);
    editorTitle_->setText(e.id < 0 ? QStringLiteral("新しい記録（%1）").arg(who)
                                   : QStringLiteral("記録 %1（%2）").arg(e.id).arg(who));
    delete_->setProperty("entryStored", e.id >= 0);
    loading_ = false;
    edited_ = false;
}

void ConsultationPage::ShowWritable() {
    // What cannot be saved is not typed: the editor only shows the entry.
    const bool writable = persons_.IsWritable();
    for (QLineEdit* e : {time_, fee_, nextDate_, nextTime_}) e->setReadOnly(!writable);
    for (QPlainTextEdit* e : {question_, notes_}) e->setReadOnly(!writable);
    date_->setReadOnly(!writable);
    theme_->lineEdit()->setReadOnly(!writable);
    paid_->setEnabled(writable);
}

void ConsultationPage::MarkEdited() {
    if (!loading_) edited_ = true;
}

QDate ConsultationPage::Today() const { return today_.value_or(QDate::currentDate()); }

void ConsultationPage::NewEntry(const ChartReadTexts& read) {
    ConsultationEntry e;
    e.client = client_ >= 0 ? client_ : CurrentClient();
    e.date = Today();
    e.time = QTime::currentTime().toString(QStringLiteral("HH:mm"));
    e.profile = read.profile;
    e.reading = read.reading;
    e.birthTime = read.birthTime;
    {
        const QSignalBlocker quiet(list_->selectionModel());
        list_->clearSelection();
    }
    ShowInEditor(e);
}

std::optional<ConsultationEntry> ConsultationPage::ReadEditor() {
    ConsultationEntry e = editing_;
    e.date = date_->date();
    const auto time = ParseConsultationTime(time_->text().trimmed());
    if (!time) {
        Message(QStringLiteral("鑑定日時の時刻「%1」は HH:MM（例 14:30）で入力して下さい。").arg(time_->text()));
        return std::nullopt;
    }
    e.time = *time;
    e.theme = theme_->currentText().trimmed();
    e.question = question_->toPlainText();
    e.notes = notes_->toPlainText();
    QString problem;
    const auto fee = ParseConsultationFee(fee_->text(), &problem);
    if (!fee) {
        Message(QStringLiteral("料金: %1。").arg(problem));
        return std::nullopt;
    }
    e.fee = *fee;
    e.paid = paid_->isChecked();
    const QString next = nextDate_->text().trimmed();
    if (next.isEmpty()) {
        e.nextDate = {};
    } else if (const auto date = ParseConsultationDate(next)) {
        e.nextDate = *date;
    } else {
        Message(QStringLiteral("次回の日付「%1」は 2027-05-10 のように入力して下さい。").arg(next));
        return std::nullopt;
    }
    const auto nextTime = ParseConsultationTime(nextTime_->text().trimmed());
    if (!nextTime) {
        Message(QStringLiteral("次回の時刻「%1」は HH:MM（例 14:30）で入力して下さい。").arg(nextTime_->text()));
        return std::nullopt;
    }
    e.nextTime = *nextTime;
    if (const QString why = ConsultationProblem(e); !why.isEmpty()) {
        Message(why);
        return std::nullopt;
    }
    return e;
}

bool ConsultationPage::SettleEdits(const QString& where) {
    if (!edited_) return true;
    if (!persons_.IsWritable() || !ask_(QStringLiteral("%1: 鑑定記録の編集が保存されていません。保存しますか？\n"
                                                       "「いいえ」で編集を破棄します。")
                                            .arg(where))) {
        edited_ = false;
        return true;
    }
    return Save();
}

QString ConsultationPage::DailyCopy() {
    if (persons_.IsServer()) return {};
    return DailyBackup(persons_.FilePath(), persons_.BackupFolder()).EnsureCopyOf(Today());
}

bool ConsultationPage::Save() {
    const std::optional<ConsultationEntry> entry = ReadEditor();
    if (!entry) return false;
    if (entry->client < 0) {
        Message(QStringLiteral("人物が選ばれていないため、鑑定記録を保存できません。"));
        return false;
    }
    QString why;
    ConsultationStorage* book = Book(&why);
    if (!book) {
        Message(QStringLiteral("鑑定記録を保存できません。") + why);
        return false;
    }
    if (const QString error = DailyCopy(); !error.isEmpty()) {
        Message(QStringLiteral("名簿の毎日の写しを作れないため、保存していません。\n") + error);
        return false;
    }
    const PersonWrite write = entry->id < 0 ? book->Insert(*entry) : book->Update(editing_, *entry);
    if (write.result == PersonWrite::Result::Stale) {
        // Someone else changed or removed the entry: the list shows it as it
        // is now, the editor keeps what was typed over the entry as now stored.
        const std::optional<ConsultationEntry> now = entry->id < 0 ? std::nullopt : book->One(entry->id, &why);
        LoadList();
        if (entry->id < 0) {
            Message(
                QStringLiteral("この人物は名簿から削除されたため、鑑定記録を保存できませんでした。"
                               "入力した内容は編集欄に残っています。"));
            return false;
        }
        editing_ = now.value_or(*entry);
        if (!now) editing_.id = -1;
        edited_ = true;
        Message(now ? QStringLiteral("この鑑定記録は開いた後に別のところで変更されたため、保存していません。"
                                     "一覧は今の内容に読み直しました。入力した内容は編集欄に残っています。"
                                     "もう一度「保存」すると、入力した内容で上書きします。")
                    : QStringLiteral("この鑑定記録は開いた後に別のところで削除されたため、保存していません。"
                                     "入力した内容は編集欄に残っています。「保存」すると新しい記録として保存します。"));
        return false;
    }
    if (!write.Ok()) {
        Message(QStringLiteral("鑑定記録を保存できませんでした。") + write.why);
        return false;
    }
    if (!entry->theme.isEmpty() && theme_->findText(entry->theme) < 0) {
        const QSignalBlocker quiet(theme_);
        theme_->addItem(entry->theme);
    }
    ConsultationEntry stored = *entry;
    if (entry->id < 0) stored.id = write.rowId;
    stored.version = write.version;
    editing_ = stored;
    edited_ = false;
    if (stored.client == client_) {
        LoadList();
        const int row = model_->RowOf(stored.id);
        if (row >= 0) {
            const QSignalBlocker quiet(list_->selectionModel());
            list_->selectRow(row);
        }
    }
    ShowInEditor(stored);
    return true;
}

void ConsultationPage::DeleteEntry() {
    if (editing_.id < 0) {
        Message(QStringLiteral("削除する記録を一覧から選んで下さい。"));
        return;
    }
    if (!ask_(QStringLiteral("鑑定記録「%1」を削除しますか？\n削除した記録は zelvara-cli notes undelete で戻せます。")
                  .arg(EntryName(editing_))))
        return;
    QString why;
    ConsultationStorage* book = Book(&why);
    if (!book) {
        Message(QStringLiteral("鑑定記録を削除できません。") + why);
        return;
    }
    if (const QString error = DailyCopy(); !error.isEmpty()) {
        Message(QStringLiteral("名簿の毎日の写しを作れないため、削除していません。\n") + error);
        return;
    }
    const PersonWrite write = book->Remove(editing_);
    if (write.result == PersonWrite::Result::Stale) {
        LoadList();
        Message(
            QStringLiteral("この鑑定記録は開いた後に別のところで変更または削除されたため、削除していません。"
                           "一覧を読み直しました。"));
        return;
    }
    if (!write.Ok()) {
        Message(QStringLiteral("鑑定記録を削除できませんでした。") + write.why);
        return;
    }
    edited_ = false;
    LoadList();
    NewEntry();
}

void ConsultationPage::Capture() {
    if (!actions_.capture) return;
    if (CurrentClient() < 0) {
        Message(QStringLiteral("人物が選ばれていないため、記録を始められません。"));
        return;
    }
    if (!SettleEdits(QStringLiteral("新しい記録を始める前に"))) return;
    const std::optional<ChartReadTexts> read = actions_.capture();
    if (!read) return;
    NewEntry(*read);
    edited_ = true;  // a new entry to be saved
}

void ConsultationPage::Reopen() {
    if (editing_.id < 0 && editing_.birthTime.isEmpty()) {
        Message(QStringLiteral("命盤を開く記録を一覧から選んで下さい。"));
        return;
    }
    if (actions_.reopen) actions_.reopen(editing_);
}

void ConsultationPage::PrintOne() {
    if (editing_.id < 0) {
        Message(QStringLiteral("印刷する記録を一覧から選んで下さい（新しい記録は保存してから印刷します）。"));
        return;
    }
    if (edited_) Message(QStringLiteral("保存されている内容を印刷します（保存していない編集は印刷されません）。"));
    if (actions_.print) actions_.print({editing_});
}

void ConsultationPage::PrintAll() {
    if (model_->Entries().empty()) {
        Message(QStringLiteral("この人物の鑑定記録はまだありません。"));
        return;
    }
    // Oldest first on paper, as a notebook runs.
    std::vector<ConsultationEntry> entries(model_->Entries().rbegin(), model_->Entries().rend());
    if (actions_.print) actions_.print(entries);
}

void ConsultationPage::Leave() { SettleEdits(QStringLiteral("鑑定記録のページを離れる前に")); }

void ConsultationPage::Message(const QString& text) { sink_.Show(text.toStdString(), {}); }

}  // namespace zelvara
