// The star tabs of KANTEI.DB in the editor: each of the fourteen major stars
// with its strengths above its weaknesses, the paired stars side by side, and
// the additional stars and transformations with their one text.
#include "editors/dbenv_window.h"

#include "common/qstring_utf8.h"
#include "editors/editor_parts.h"
#include "editors/tab_rows.h"
#include "engine/zelvara.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace zelvara {
namespace {

constexpr int kTabsPerRow = 10;

// Graded stars 15..20 share a tab two by two (first and first + 1); the
// caption over each star names its field, with the tail where the table's
// captions carry one.
struct StarPairTab {
    const char* tab;
    int first;
    const char* captionTail;
};
constexpr StarPairTab kStarPairTabs[] = {{"炎鈴", 15, ""}, {"曲昌", 17, ""}, {"羊陀", 19, " - 2"}};

// The additional stars that have texts (駅馬 has none), alone or two to a
// tab; a tab without its own caption shows the star's name.
struct MinorStarTab {
    const char* tab;
    int minors[2];  // additional star numbers 1..13; 0 for none
};
constexpr MinorStarTab kMinorStarTabs[] = {
    {nullptr, {1, 0}},  {"魁鉞", {2, 3}},   {"左右", {4, 5}},   {"空劫", {7, 8}},   {nullptr, {9, 0}},
    {nullptr, {10, 0}}, {nullptr, {11, 0}}, {nullptr, {12, 0}}, {nullptr, {13, 0}},
};

QString One(const QString& name) { return name + QStringLiteral("星1"); }
QString Two(const QString& name) { return name + QStringLiteral("星2"); }

// A star's strengths above its weaknesses, under an optional caption.
QWidget* UpperLower(QWidget* parent, RecordNavigator& source, const QString& name, const QString& caption = {}) {
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BoundMemo(source, One(name), box));
    layout->addWidget(BoundMemo(source, Two(name), box));
    return caption.isEmpty() ? box : Captioned(parent, caption, box);
}

// Controls side by side.
QWidget* SideBySide(const QList<QWidget*>& parts) {
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    for (QWidget* part : parts) {
        part->setParent(page);
        layout->addWidget(part);
    }
    return page;
}

QWidget* Single(RecordNavigator& source, const QList<QString>& names) {
    QList<QWidget*> memos;
    for (const QString& n : names) memos << BoundMemo(source, One(n));
    return SideBySide(memos);
}

}  // namespace

TabRows* KanteiStarTabs(QWidget* parent, RecordNavigator& kantei) {
    auto* tabs = new TabRows(kTabsPerRow, parent);
    tabs->setObjectName(QStringLiteral("PageControl2"));
    for (int star = 1; star <= kMajorStars; ++star) {
        const QString name = Q(kStarShortNames[star]);
        tabs->AddPage(SideBySide({UpperLower(nullptr, kantei, name)}), name);
    }
    for (const StarPairTab& p : kStarPairTabs) {
        QList<QWidget*> parts;
        for (int star : {p.first, p.first + 1}) {
            const QString name = Q(kStarShortNames[star]);
            parts << UpperLower(nullptr, kantei, name, One(name) + QString::fromUtf8(p.captionTail));
        }
        tabs->AddPage(SideBySide(parts), QString::fromUtf8(p.tab));
    }
    for (const MinorStarTab& m : kMinorStarTabs) {
        QList<QString> names;
        for (int minor : m.minors)
            if (minor) names << Q(kMinorShortNames[minor]);
        tabs->AddPage(Single(kantei, names), m.tab ? QString::fromUtf8(m.tab) : names.front());
    }
    for (int t = 1; t <= kTransforms; ++t) {
        const QString name = Q(kTransformNames[t]);
        tabs->AddPage(Single(kantei, {name}), name);
    }
    return tabs;
}

}  // namespace zelvara
