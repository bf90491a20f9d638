// The star tabs of KANTEI.DB in the editor: each of the fourteen major stars
// with its strengths above its weaknesses, the paired stars side by side, and
// the additional stars and transformations with their one text.
#include "dbenv_window.h"

#include "db_memo.h"
#include "editor_parts.h"
#include "tab_rows.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace zelvara {
namespace {

constexpr int kTabsPerRow = 10;

QString One(const QString& name) { return name + QStringLiteral("星1"); }
QString Two(const QString& name) { return name + QStringLiteral("星2"); }

// A star's strengths above its weaknesses, under an optional caption.
QWidget* UpperLower(QWidget* parent, ReadingDataSource& source, const QString& name, const QString& caption = {})
{
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new DBMemo(source, One(name), box));
    layout->addWidget(new DBMemo(source, Two(name), box));
    return caption.isEmpty() ? box : Captioned(parent, caption, box);
}

// Controls side by side.
QWidget* SideBySide(const QList<QWidget*>& parts)
{
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    for (QWidget* part : parts) {
        part->setParent(page);
        layout->addWidget(part);
    }
    return page;
}

QWidget* Single(ReadingDataSource& source, const QList<QString>& names)
{
    QList<QWidget*> memos;
    for (const QString& n : names)
        memos << new DBMemo(source, One(n));
    return SideBySide(memos);
}

}  // namespace

TabRows* KanteiStarTabs(QWidget* parent, ReadingDataSource& kantei)
{
    auto* tabs = new TabRows(kTabsPerRow, parent);
    tabs->setObjectName(QStringLiteral("PageControl2"));
    for (const char* major : {"紫薇", "天機", "太陽", "武曲", "天同", "廉貞", "天府", "太陰", "貪狼", "巨門", "天相", "天梁",
                              "七殺", "破軍"}) {
        const QString name = QString::fromUtf8(major);
        tabs->AddPage(SideBySide({UpperLower(nullptr, kantei, name)}), name);
    }
    struct Pair {
        const char* tab;
        const char* first;
        const char* second;
        const char* firstCaption;
        const char* secondCaption;
    };
    for (const Pair& p : {Pair{"炎鈴", "炎星", "鈴星", "炎星星1", "鈴星星1"},
                          Pair{"曲昌", "文曲", "文昌", "文曲星1", "文昌星1"},
                          Pair{"羊陀", "羊刃", "陀羅", "羊刃星1 - 2", "陀羅星1 - 2"}}) {
        tabs->AddPage(SideBySide({UpperLower(nullptr, kantei, QString::fromUtf8(p.first), QString::fromUtf8(p.firstCaption)),
                                  UpperLower(nullptr, kantei, QString::fromUtf8(p.second), QString::fromUtf8(p.secondCaption))}),
                      QString::fromUtf8(p.tab));
    }
    tabs->AddPage(Single(kantei, {QStringLiteral("天存")}), QStringLiteral("天存"));
    tabs->AddPage(Single(kantei, {QStringLiteral("天魁"), QStringLiteral("天鉞")}), QStringLiteral("魁鉞"));
    tabs->AddPage(Single(kantei, {QStringLiteral("左輔"), QStringLiteral("右弼")}), QStringLiteral("左右"));
    tabs->AddPage(Single(kantei, {QStringLiteral("天空"), QStringLiteral("地劫")}), QStringLiteral("空劫"));
    for (const char* single : {"天耗", "紅鸞", "天喜", "天姚", "天刑", "化禄", "化権", "化科", "化忌"}) {
        const QString name = QString::fromUtf8(single);
        tabs->AddPage(Single(kantei, {name}), name);
    }
    return tabs;
}

}  // namespace zelvara
