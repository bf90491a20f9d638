// TkounDBfrm: the editor of the luck texts in hosiImi.DB, one tab per ruling
// star, and the lookup the luck reading takes its texts from. It always edits
// the record the table opened on, which is the one the reading uses. Closing
// saves the record; a refused save keeps the window open.
#pragma once

#include "editors/editor_parts.h"

#include <optional>

class QPushButton;

namespace zelvara {

class ReadingTables;
class RecordNavigator;
class TabRows;

class TkounDBfrm : public CentredWindow {
    Q_OBJECT
public:
    TkounDBfrm(ReadingTables& tables, QWidget* parent = nullptr);

    // The luck text of a ruling-star name as the luck reading takes it: the
    // fixed sentence for 空白, else the field of that name in the saved record.
    std::optional<QString> LuckTextFor(const QString& name) const;

    RecordNavigator& Records() const { return *records_; }
    bool SavePending() override;

    TabRows* PageControl1 = nullptr;
    QPushButton* closebtn = nullptr;

public slots:
    // Saves the record and closes; a refused save keeps the window open.
    void closebtnClick();

private:
    ReadingTables& tables_;
    RecordNavigator* records_ = nullptr;
};

// The 33 luck-text fields with a tab, in tab order (no transformations).
const QStringList& LuckTabFields();

}  // namespace zelvara
