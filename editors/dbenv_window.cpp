#include "editors/dbenv_window.h"

#include "editors/cap_navi.h"
#include "editors/editor_parts.h"
#include "editors/reading_tables.h"
#include "editors/record_navigator.h"
#include "editors/tab_rows.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace zelvara {

Tdbenvfrm::Tdbenvfrm(ReadingTables& tables, QWidget* parent) : CentredWindow(parent) {
    setObjectName(QStringLiteral("Tdbenvfrm"));
    setWindowTitle(QStringLiteral("鑑定文章とアルゴリズムデータベース変更画面"));
    resize(763, 596);
    kyu12_ = new RecordNavigator(tables.kyu12(), this);
    kantei_ = new RecordNavigator(tables.kantei(), this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    layout->addWidget(PageControl1);
    PageControl1->addTab(TabSheet1 = PalacePage(), QStringLiteral("１２宮の説明DB"));
    PageControl1->addTab(TabSheet2 = KanteiPage(), QStringLiteral("鑑定文章のＤＢ"));
    PageControl1->addTab(TabSheet3 = GradePage(), QStringLiteral("１２宮の甲乙丙丁分類DB"));
}

QWidget* Tdbenvfrm::PalacePage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    auto* layout = new QVBoxLayout(page);
    auto* memos = new QHBoxLayout;
    DBMemo1 = BoundMemo(*kyu12_, QStringLiteral("内容"));
    DBMemo2 = BoundMemo(*kyu12_, QStringLiteral("星相性"));
    memos->addWidget(Captioned(page, QStringLiteral("内容"), DBMemo1));
    memos->addWidget(Captioned(page, QStringLiteral("星の相性"), DBMemo2));
    layout->addLayout(memos, 3);
    DBGrid1 = RecordGrid(page, QStringLiteral("DBGrid1"), *kyu12_);
    layout->addWidget(DBGrid1, 2);
    layout->addWidget(CaptionDBNavi1 = EditorNavigator(page, QStringLiteral("CaptionDBNavi1"), *kyu12_));
    return page;
}

QWidget* Tdbenvfrm::KanteiPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(YellowNote(page, QStringLiteral("Label1"),
                                 QStringLiteral("上下の２段ある場合→上が長所　下が短所となります。"
                                                "１段しかない場合は長所短所の区別がありません。")));
    auto* middle = new QHBoxLayout;
    PageControl2 = KanteiStarTabs(page, *kantei_);
    middle->addWidget(PageControl2, 1);
    DBGrid3 = RecordGrid(page, QStringLiteral("DBGrid3"), *kantei_, {QStringLiteral("No"), QStringLiteral("宮名称")});
    DBGrid3->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DBGrid3->setColumnWidth(0, 30);
    DBGrid3->setColumnWidth(1, 70);
    DBGrid3->setFixedWidth(30 + 70 + DBGrid3->verticalHeader()->sizeHint().width() + 24);
    middle->addWidget(DBGrid3);
    layout->addLayout(middle, 1);
    layout->addWidget(CaptionDBNavi2 = EditorNavigator(page, QStringLiteral("CaptionDBNavi2"), *kantei_));
    return page;
}

QWidget* Tdbenvfrm::GradePage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet3"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(YellowNote(page, QStringLiteral("Label2"), QStringLiteral("甲・乙・丙・丁・級星の意味の説明")));
    for (const QString& line :
         {QStringLiteral("甲級星→「廟」と「旺」の状態で大吉　「失」「陥」でも平の状態の星を言う。"),
          QStringLiteral("乙級星→「廟」と「旺」の状態で吉　「失」「陥」でも小凶の状態の星を言う。"),
          QStringLiteral("丙級星→「廟」と「旺」の状態でも平　「失」「陥」では凶の状態の星を言う。"),
          QStringLiteral("丁級星→「廟」と「旺」の状態で小凶　「失」「陥」では大凶の状態の星を言う。")})
        layout->addWidget(new QLabel(line, page));
    DBGrid2 = RecordGrid(page, QStringLiteral("DBGrid2"), *kyu12_);
    layout->addWidget(DBGrid2, 1);
    layout->addWidget(CaptionDBNavi3 = EditorNavigator(page, QStringLiteral("CaptionDBNavi3"), *kyu12_));
    return page;
}

bool Tdbenvfrm::SavePending() { return kyu12_->SavePending() && kantei_->SavePending(); }

QPlainTextEdit* Tdbenvfrm::KanteiMemo(const QString& field) const {
    return PageControl2->findChild<QPlainTextEdit*>(field);
}

}  // namespace zelvara
