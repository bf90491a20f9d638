// Tdbenvfrm: the editor of the palace table KYU12.db (explanations and the
// grades of the twenty stars) and of the star-in-palace texts KANTEI.DB.
// Records are saved with the navigator's "更新登録", before the current
// record moves, and when the window closes (a refused save keeps it open).
// Closing only hides the window.
#pragma once

#include "editors/editor_parts.h"

class QLabel;
class QPlainTextEdit;
class QTabWidget;
class QTableView;

namespace zelvara {

class ReadingTables;
class RecordNavigator;
class TabRows;
class TCaptionDBNavi;

class Tdbenvfrm : public CentredWindow {
    Q_OBJECT
public:
    Tdbenvfrm(ReadingTables& tables, QWidget* parent = nullptr);

    RecordNavigator& Kyu12Records() const { return *kyu12_; }
    RecordNavigator& KanteiRecords() const { return *kantei_; }
    // The KANTEI.DB memo bound to field, or null.
    QPlainTextEdit* KanteiMemo(const QString& field) const;

    // Saves the edits of KYU12.db, then of KANTEI.DB; false when refused.
    bool SavePending() override;

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;  // １２宮の説明DB
    QWidget* TabSheet2 = nullptr;  // 鑑定文章のＤＢ
    QWidget* TabSheet3 = nullptr;  // １２宮の甲乙丙丁分類DB
    QPlainTextEdit* DBMemo1 = nullptr;
    QPlainTextEdit* DBMemo2 = nullptr;
    QTableView* DBGrid1 = nullptr;
    QTableView* DBGrid2 = nullptr;
    QTableView* DBGrid3 = nullptr;
    TabRows* PageControl2 = nullptr;  // the star tabs of KANTEI.DB
    TCaptionDBNavi* CaptionDBNavi1 = nullptr;
    TCaptionDBNavi* CaptionDBNavi2 = nullptr;
    TCaptionDBNavi* CaptionDBNavi3 = nullptr;

private:
    QWidget* PalacePage();
    QWidget* KanteiPage();
    QWidget* GradePage();

    RecordNavigator* kyu12_ = nullptr;
    RecordNavigator* kantei_ = nullptr;
};

// The star tabs of KANTEI.DB in their order, each with its memos.
TabRows* KanteiStarTabs(QWidget* parent, RecordNavigator& kantei);

}  // namespace zelvara
