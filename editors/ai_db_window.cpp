#include "editors/ai_db_window.h"

#include "common/qstring_utf8.h"
#include "editors/editor_parts.h"
#include "editors/reading_tables.h"
#include "editors/record_navigator.h"
#include "editors/tab_rows.h"
#include "engine/zelvara.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zelvara {
namespace {

TabRows* StarTabs(QWidget* parent, const char* name, RecordNavigator& records) {
    auto* tabs = new TabRows(10, parent);
    tabs->setObjectName(QString::fromLatin1(name));
    for (int s = 1; s <= kStars; ++s) {
        const QString field = Q(kStarLongNames[s]);
        tabs->AddPage(BoundMemo(records, field), field);
    }
    return tabs;
}

}  // namespace

TAiDBfrm::TAiDBfrm(ReadingTables& tables, QWidget* parent) : CentredWindow(parent) {
    setObjectName(QStringLiteral("TAiDBfrm"));
    setWindowTitle(QStringLiteral("結婚の相性データベース画面"));
    resize(692, 575);
    ai01_ = new RecordNavigator(tables.ai01(), this);
    ai02_ = new RecordNavigator(tables.ai02(), this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("※本能的に好きになりやすい異性のタイプのデータベース（夫妻宮の主星）"), this));
    layout->addWidget(PageControl1 = StarTabs(this, "PageControl1", *ai01_), 1);
    layout->addWidget(new QLabel(QStringLiteral("※命宮の主星から見た相性の良い星のデータベース"), this));
    layout->addWidget(PageControl2 = StarTabs(this, "PageControl2", *ai02_), 1);

    closebtn = AddClosePanel(this, layout);
    connect(closebtn, &QPushButton::clicked, this, &TAiDBfrm::closebtnClick);

    // Both tables stand in edit mode from the start.
    ai01_->Edit();
    ai02_->Edit();
}

bool TAiDBfrm::SavePending() { return ai01_->SavePending() && ai02_->SavePending(); }

void TAiDBfrm::closebtnClick() {
    ai01_->Edit();
    ai02_->Edit();
    if (ai01_->Post() && ai02_->Post()) close();
}

}  // namespace zelvara
