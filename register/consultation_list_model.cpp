#include "register/consultation_list_model.h"

namespace zelvara {

ConsultationListModel::ConsultationListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ConsultationListModel::SetEntries(std::vector<ConsultationEntry> entries) {
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
}

int ConsultationListModel::RowOf(qint64 id) const {
    for (size_t r = 0; r < entries_.size(); ++r)
        if (entries_[r].id == id) return int(r);
    return -1;
}

int ConsultationListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(entries_.size());
}

int ConsultationListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant ConsultationListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(entries_.size())) return {};
    const ConsultationEntry& e = entries_[size_t(index.row())];
    if (role == Qt::TextAlignmentRole && index.column() == kFee)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    switch (index.column()) {
        case kDate: return ConsultationDateText(e.date);
        case kTime: return e.time;
        case kTheme: return e.theme;
        case kFee: return e.fee ? ConsultationFeeText(e) : QString();
        case kNext: return e.nextDate.isValid() ? ConsultationWhenText(e.nextDate, e.nextTime) : QString();
        default: return {};
    }
}

QVariant ConsultationListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
        case kDate: return QStringLiteral("鑑定日");
        case kTime: return QStringLiteral("時刻");
        case kTheme: return QStringLiteral("テーマ");
        case kFee: return QStringLiteral("料金");
        case kNext: return QStringLiteral("次回");
        default: return {};
    }
}

}  // namespace zelvara
