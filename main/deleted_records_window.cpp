#include "main/deleted_records_window.h"

#include "main/register_write_guard.h"
#include "register/person_table.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zelvara {
namespace {

// Columns: number, time of deletion, then the birth data of the record.
const int kShownFields[] = {kFieldName, kFieldYear, kFieldMonth, kFieldDay, kFieldTime, kFieldSex};

}  // namespace

TDeletedRecordsFrm::TDeletedRecordsFrm(PersonTable& persons, QWidget* parent) : QDialog(parent), persons_(persons) {
    setObjectName(QStringLiteral("DeletedRecordsFrm"));
    setWindowTitle(QStringLiteral("削除したデータ"));
    resize(640, 360);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("削除したデータは、ここから名簿に戻せます。"), this));

    list_ = new QTableWidget(this);
    list_->setObjectName(QStringLiteral("deletedList"));
    QStringList headers{QStringLiteral("番号"), QStringLiteral("削除日時")};
    for (int field : kShownFields) headers << FieldLabel(field);
    list_->setColumnCount(int(headers.size()));
    list_->setHorizontalHeaderLabels(headers);
    list_->verticalHeader()->hide();
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(list_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    undelete_ = new QPushButton(QStringLiteral("元に戻す(&R)"), this);
    undelete_->setObjectName(QStringLiteral("undeletebtn"));
    connect(undelete_, &QPushButton::clicked, this, &TDeletedRecordsFrm::UndeleteClick);
    buttons->addWidget(undelete_);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(list_, &QTableWidget::itemSelectionChanged, this,
            [this] { undelete_->setEnabled(persons_.IsWritable() && list_->currentRow() >= 0); });
}

void TDeletedRecordsFrm::ShowWhyNoUndelete() {
    const QString refusal = RegisterWriteRefusal(persons_);
    undelete_->setToolTip(refusal.isEmpty() ? QStringLiteral("選んだデータを名簿に戻します") : refusal);
}

void TDeletedRecordsFrm::showEvent(QShowEvent* event) {
    Refresh();
    QDialog::showEvent(event);
}

void TDeletedRecordsFrm::Refresh() {
    const std::vector<DeletedPerson> deleted = persons_.DeletedRecords();
    list_->setRowCount(int(deleted.size()));
    for (int row = 0; row < int(deleted.size()); ++row) {
        const DeletedPerson& d = deleted[size_t(row)];
        auto* number = new QTableWidgetItem(QString::number(d.number));
        number->setData(Qt::UserRole, d.number);
        list_->setItem(row, 0, number);
        list_->setItem(row, 1, new QTableWidgetItem(d.deletedAt.toString(QStringLiteral("yyyy/MM/dd HH:mm"))));
        for (int c = 0; c < int(std::size(kShownFields)); ++c)
            list_->setItem(row, 2 + c, new QTableWidgetItem(d.values[size_t(kShownFields[c])]));
    }
    list_->resizeColumnsToContents();
    list_->setCurrentCell(deleted.empty() ? -1 : 0, 0);
    undelete_->setEnabled(persons_.IsWritable() && !deleted.empty());
    ShowWhyNoUndelete();
}

void TDeletedRecordsFrm::UndeleteClick() {
    const int row = list_->currentRow();
    if (row < 0) return;
    if (persons_.Undelete(list_->item(row, 0)->data(Qt::UserRole).toLongLong())) Refresh();
}

}  // namespace zelvara
