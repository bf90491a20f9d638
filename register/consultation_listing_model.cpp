#include "register/consultation_listing_model.h"

namespace zelvara {
namespace {

QString DateText(const QDate& date) {
    static const QString kWeekdays[] = {QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
                                        QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土"),
                                        QStringLiteral("日")};
    if (!date.isValid()) return {};
    return date.toString(QStringLiteral("yyyy/MM/dd")) + QStringLiteral("（%1）").arg(kWeekdays[date.dayOfWeek() - 1]);
}

}  // namespace

ConsultationListingModel::ConsultationListingModel(Kind kind, QObject* parent)
    : QAbstractTableModel(parent), kind_(kind) {}

void ConsultationListingModel::SetListings(std::vector<ConsultationListing> listings) {
    beginResetModel();
    listings_ = std::move(listings);
    endResetModel();
}

int ConsultationListingModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(listings_.size());
}

int ConsultationListingModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 4; }

QVariant ConsultationListingModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(listings_.size())) return {};
    const ConsultationListing& l = listings_[size_t(index.row())];
    const ConsultationEntry& e = l.entry;
    if (role == kClientRole) return e.client;
    if (role == kEntryRole) return e.id;
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const QString name = l.clientName.isEmpty() ? QStringLiteral("（番号 %1）").arg(e.client) : l.clientName;
    if (kind_ == Kind::Agenda) {
        switch (index.column()) {
            case 0: return DateText(e.nextDate);
            case 1: return e.nextTime;
            case 2: return name;
            default: return e.theme;
        }
    }
    switch (index.column()) {
        case 0: return e.time.isEmpty() ? DateText(e.date) : DateText(e.date) + QLatin1Char(' ') + e.time;
        case 1: return name;
        case 2: return e.theme;
        default: return l.passage;
    }
}

QVariant ConsultationListingModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const QString kAgenda[] = {QStringLiteral("日付"), QStringLiteral("時刻"), QStringLiteral("氏名"),
                                      QStringLiteral("テーマ")};
    static const QString kSearch[] = {QStringLiteral("鑑定日"), QStringLiteral("氏名"), QStringLiteral("テーマ"),
                                      QStringLiteral("該当箇所")};
    if (section < 0 || section > 3) return {};
    return kind_ == Kind::Agenda ? kAgenda[section] : kSearch[section];
}

}  // namespace zelvara
