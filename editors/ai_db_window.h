// TAiDBfrm: the editor of the partner texts, Ai01.DB above (the type one is
// drawn to, by the main star of 夫妻宮) and Ai02.DB below (the stars that suit
// the main star of 命宮), one tab per star. Closing saves both records; a
// refused save keeps the window open.
#pragma once

#include "editors/editor_parts.h"

class QPushButton;

namespace zelvara {

class ReadingTables;
class RecordNavigator;
class TabRows;

class TAiDBfrm : public CentredWindow {
    Q_OBJECT
public:
    TAiDBfrm(ReadingTables& tables, QWidget* parent = nullptr);

    RecordNavigator& Ai01Records() const { return *ai01_; }
    RecordNavigator& Ai02Records() const { return *ai02_; }
    // Saves Ai01.DB's edits, then Ai02.DB's; false when refused.
    bool SavePending() override;

    TabRows* PageControl1 = nullptr;  // Ai01.DB
    TabRows* PageControl2 = nullptr;  // Ai02.DB
    QPushButton* closebtn = nullptr;

public slots:
    // Saves Ai01.DB's record, then Ai02.DB's, and closes; a refused save
    // keeps the window open.
    void closebtnClick();

private:
    RecordNavigator* ai01_ = nullptr;
    RecordNavigator* ai02_ = nullptr;
};

}  // namespace zelvara
