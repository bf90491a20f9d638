// Entries across clients as a table model, for the 予定 window (the
// appointments by date and time) and the 検索 window (the entries that hold
// the words, newest first, with the matching passage). The rows are what the
// consultation record returned; the model only shows them.
#pragma once

#include "register/consultation_storage.h"

#include <QAbstractTableModel>

#include <vector>

namespace zelvara {

class ConsultationListingModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class Kind {
        Agenda,  // 日付, 時刻, 氏名, テーマ: the next appointment
        Search,  // 鑑定日, 氏名, テーマ, 該当箇所: the session
    };
    // The entry's client and its id, for opening a row.
    static constexpr int kClientRole = Qt::UserRole + 1;
    static constexpr int kEntryRole = Qt::UserRole + 2;
    static constexpr int kPassageColumn = 3;  // Search: the matching passage

    explicit ConsultationListingModel(Kind kind, QObject* parent = nullptr);

    void SetListings(std::vector<ConsultationListing> listings);
    const ConsultationListing& Listing(int row) const { return listings_.at(size_t(row)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    Kind kind_;
    std::vector<ConsultationListing> listings_;
};

}  // namespace zelvara
