// The list of one client's consultation entries on the 鑑定記録 page, newest
// first: date, time, theme, fee (paid or not) and the next appointment. A
// table model over the entries as read; no widgets.
#pragma once

#include "register/consultation_record.h"

#include <QAbstractTableModel>

#include <vector>

namespace zelvara {

class ConsultationListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kDate, kTime, kTheme, kFee, kNext, kColumns };

    explicit ConsultationListModel(QObject* parent = nullptr);

    void SetEntries(std::vector<ConsultationEntry> entries);
    const std::vector<ConsultationEntry>& Entries() const { return entries_; }
    // The row of the entry with that id; −1 when it is not listed.
    int RowOf(qint64 id) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<ConsultationEntry> entries_;
};

}  // namespace zelvara
