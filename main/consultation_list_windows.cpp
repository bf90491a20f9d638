#include "main/consultation_list_windows.h"

#include "register/consultation_listing_model.h"
#include "register/person_table.h"

#include <QAbstractTextDocumentLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextDocument>
#include <QVBoxLayout>

namespace zelvara {
namespace {

// The passage with every place the words appear marked (case ignored, as the
// search matches).
class PassageDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void SetWords(const QString& words) { words_ = words; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        opt.widget->style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        QTextDocument doc;
        doc.setDefaultFont(opt.font);
        doc.setDocumentMargin(2);
        doc.setHtml(Marked(text));
        painter->save();
        painter->translate(opt.rect.topLeft());
        painter->setClipRect(opt.rect.translated(-opt.rect.topLeft()));
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette = opt.palette;
        if (opt.state & QStyle::State_Selected)
            context.palette.setColor(QPalette::Text, opt.palette.color(QPalette::HighlightedText));
        doc.documentLayout()->draw(painter, context);
        painter->restore();
    }

    QString Marked(const QString& text) const {
        if (words_.isEmpty()) return text.toHtmlEscaped();
        QString html;
        qsizetype from = 0;
        for (qsizetype at; (at = text.indexOf(words_, from, Qt::CaseInsensitive)) >= 0; from = at + words_.size())
            html += text.mid(from, at - from).toHtmlEscaped() +
                    QStringLiteral("<span style=\"background-color:#ffe066;color:#000000;\">") +
                    text.mid(at, words_.size()).toHtmlEscaped() + QStringLiteral("</span>");
        return html + text.mid(from).toHtmlEscaped();
    }

private:
    QString words_;
};

}  // namespace

ConsultationListWindow::ConsultationListWindow(PersonTable& persons, EntryOpener opener, int kind, QWidget* parent)
    : QDialog(parent), persons_(persons), opener_(std::move(opener)) {
    model_ = new ConsultationListingModel(ConsultationListingModel::Kind(kind), this);
}

void ConsultationListWindow::AddList(QVBoxLayout* layout) {
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("listStatus"));
    status_->setWordWrap(true);
    layout->addWidget(status_);
    list_ = new QTableView(this);
    list_->setObjectName(QStringLiteral("entryList"));
    list_->setModel(model_);
    list_->verticalHeader()->hide();
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->setWordWrap(false);
    connect(list_, &QTableView::doubleClicked, this, [this] { OpenCurrent(); });
    layout->addWidget(list_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    open_ = new QPushButton(QStringLiteral("開く(&O)"), this);
    open_->setObjectName(QStringLiteral("openbtn"));
    open_->setToolTip(QStringLiteral("選んだ記録の人物を開きます"));
    connect(open_, &QPushButton::clicked, this, &ConsultationListWindow::OpenCurrent);
    buttons->addWidget(open_);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QStringLiteral("closebtn"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        open_->setEnabled(model_->rowCount() > 0);
        if (model_->rowCount() > 0) list_->selectRow(0);
        list_->resizeColumnsToContents();
    });
    open_->setEnabled(false);
}

QString ConsultationListWindow::Status() const { return status_->text(); }

void ConsultationListWindow::SetStatus(const QString& text) { status_->setText(text); }

void ConsultationListWindow::OpenCurrent() {
    const QModelIndex current = list_->currentIndex();
    if (!current.isValid() || !opener_) return;
    opener_(model_->data(current, ConsultationListingModel::kClientRole).toLongLong(),
            model_->data(current, ConsultationListingModel::kEntryRole).toLongLong());
}

TAgendaFrm::TAgendaFrm(PersonTable& persons, EntryOpener opener, QWidget* parent)
    : ConsultationListWindow(persons, std::move(opener), int(ConsultationListingModel::Kind::Agenda), parent) {
    setObjectName(QStringLiteral("TAgendaFrm"));
    setWindowTitle(QStringLiteral("予定"));
    resize(560, 380);
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("今日から"), this));
    days_ = new QSpinBox(this);
    days_->setObjectName(QStringLiteral("daysBox"));
    days_->setRange(1, 366);
    days_->setValue(7);
    days_->setToolTip(QStringLiteral("何日先までの予定を表示するか"));
    row->addWidget(days_);
    row->addWidget(new QLabel(QStringLiteral("日間の予定（次回の予約）"), this));
    row->addStretch(1);
    layout->addLayout(row);
    AddList(layout);
    connect(days_, &QSpinBox::valueChanged, this, [this] { Refresh(); });
}

void TAgendaFrm::SetDays(int days) { days_->setValue(days); }

void TAgendaFrm::showEvent(QShowEvent* event) {
    Refresh();
    QDialog::showEvent(event);
}

void TAgendaFrm::Refresh() {
    QString why;
    std::unique_ptr<ConsultationStorage> notes = OpenConsultations(persons_, &why);
    std::optional<std::vector<ConsultationListing>> found;
    const QDate today = QDate::currentDate();
    if (notes) found = notes->Agenda(today, days_->value(), &why);
    if (!found) {
        model_->SetListings({});
        SetStatus(QStringLiteral("予定を読めません。%1").arg(why));
        return;
    }
    const QDate last = today.addDays(days_->value() - 1);
    SetStatus(found->empty()
                  ? QStringLiteral("%1 から %2 までの予定はありません。")
                        .arg(today.toString(QStringLiteral("yyyy/MM/dd")), last.toString(QStringLiteral("yyyy/MM/dd")))
                  : QStringLiteral("%1 から %2 までの予定 %3 件")
                        .arg(today.toString(QStringLiteral("yyyy/MM/dd")), last.toString(QStringLiteral("yyyy/MM/dd")))
                        .arg(found->size()));
    model_->SetListings(std::move(*found));
}

TNotesSearchFrm::TNotesSearchFrm(PersonTable& persons, EntryOpener opener, QWidget* parent)
    : ConsultationListWindow(persons, std::move(opener), int(ConsultationListingModel::Kind::Search), parent) {
    setObjectName(QStringLiteral("TNotesSearchFrm"));
    setWindowTitle(QStringLiteral("鑑定記録の検索"));
    resize(680, 420);
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("探す言葉"), this));
    query_ = new QLineEdit(this);
    query_->setObjectName(QStringLiteral("queryEdit"));
    query_->setToolTip(QStringLiteral("テーマ・相談内容・メモから探します（2 文字以上）"));
    row->addWidget(query_, 1);
    auto* search = new QPushButton(QStringLiteral("検索(&S)"), this);
    search->setObjectName(QStringLiteral("searchbtn"));
    search->setDefault(true);
    row->addWidget(search);
    layout->addLayout(row);
    AddList(layout);
    auto* passages = new PassageDelegate(list_);
    list_->setItemDelegateForColumn(ConsultationListingModel::kPassageColumn, passages);
    const auto run = [this, passages] {
        passages->SetWords(query_->text().trimmed());
        Search(query_->text());
    };
    connect(search, &QPushButton::clicked, this, run);
    connect(query_, &QLineEdit::returnPressed, this, run);
}

void TNotesSearchFrm::Search(const QString& words) {
    if (query_->text() != words) query_->setText(words);
    if (auto* passages =
            dynamic_cast<PassageDelegate*>(list_->itemDelegateForColumn(ConsultationListingModel::kPassageColumn)))
        passages->SetWords(words.trimmed());
    if (words.trimmed().size() < 2) {
        model_->SetListings({});
        SetStatus(QStringLiteral("検索する言葉は 2 文字以上にしてください。"));
        return;
    }
    QString why;
    std::unique_ptr<ConsultationStorage> notes = OpenConsultations(persons_, &why);
    std::optional<std::vector<ConsultationListing>> found;
    if (notes) found = notes->Search(words, kLimit, &why);
    if (!found) {
        model_->SetListings({});
        SetStatus(QStringLiteral("検索できません。%1").arg(why));
        return;
    }
    SetStatus(found->empty() ? QStringLiteral("「%1」を含む鑑定記録はありません。").arg(words.trimmed())
              : int(found->size()) >= kLimit
                  ? QStringLiteral("「%1」を含む鑑定記録のうち、新しく書かれた %2 件を表示しています。")
                        .arg(words.trimmed())
                        .arg(found->size())
                  : QStringLiteral("「%1」を含む鑑定記録 %2 件（新しい順）").arg(words.trimmed()).arg(found->size()));
    model_->SetListings(std::move(*found));
}

}  // namespace zelvara
