#include "koun_db_window.h"

#include "db_memo.h"
#include "editor_parts.h"
#include "luck_reading.h"
#include "reading_data_source.h"
#include "reading_tables.h"
#include "tab_rows.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace zelvara {

const QStringList& LuckTabFields()
{
    static const QStringList fields = {
        "紫薇星", "天機星", "太陽星", "武曲星", "天同星", "廉貞星", "天府星", "太陰星", "貪狼星", "巨門星", "天相星",
        "天梁星", "七殺星", "破軍星", "炎星",   "鈴星",   "文曲星", "文昌星", "羊刃星", "陀羅星", "天存星", "天魁星",
        "天鉞星", "左輔星", "右弼星", "駅馬星", "天空星", "地劫星", "天耗星", "紅鸞星", "天喜星", "天姚星", "天刑星"};
    return fields;
}

TkounDBfrm::TkounDBfrm(ReadingTables& tables, QWidget* parent) : CentredWindow(parent)
{
    setObjectName(QStringLiteral("TkounDBfrm"));
    setWindowTitle(QStringLiteral("行運のデータベース画面"));
    resize(676, 307);
    source_ = new ReadingDataSource(tables.hosiImi(), tables.Sink(), this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    PageControl1 = new TabRows(11, this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    for (const QString& field : LuckTabFields()) {
        auto* memo = new DBMemo(*source_, field);
        PageControl1->AddPage(memo, field);
    }
    layout->addWidget(PageControl1, 1);

    closebtn = AddClosePanel(this, layout);
    connect(closebtn, &QPushButton::clicked, this, &TkounDBfrm::closebtnClick);
}

std::optional<QString> TkounDBfrm::LuckTextFor(const QString& name) const
{
    return zelvara::LuckTextFor(name, source_->Table());
}

bool TkounDBfrm::SavePending() { return source_->SavePending(); }

void TkounDBfrm::closebtnClick()
{
    source_->Edit();
    if (source_->PostRecord())
        close();
}

}  // namespace zelvara
