#include "session/chart_markdown.h"

#include "common/qstring_utf8.h"
#include "engine/conversion.h"

#include <QStringList>

namespace zelvara {
namespace {

// The palaces in the order a reading goes round them: 命宮 first, 父母 last.
std::vector<int> ReadingOrder() {
    std::vector<int> order;
    for (int p = kLifePalace; p <= kPalaces; ++p) order.push_back(p);
    for (int p = 1; p < kLifePalace; ++p) order.push_back(p);
    return order;
}

QString BranchOf(int branch) { return branch >= 1 && branch <= kBranches ? Q(kBranchNames[branch]) : QString(); }

QString Row(const QStringList& cells) {
    return QStringLiteral("| ") + cells.join(QStringLiteral(" | ")) + QStringLiteral(" |\n");
}

QString HeaderRow(const QStringList& cells) {
    QStringList rule;
    for (qsizetype i = 0; i < cells.size(); ++i) rule << QStringLiteral("---");
    return Row(cells) + Row(rule);
}

QString PalaceCell(const Tmandata& man, int palace) {
    QString cell = Q(PalaceFullName(palace));
    if (man.palaceBranch[palace] == man.bodyPalace) cell += QStringLiteral("（身宮）");
    return cell;
}

// The stars of a box as it shows them: caption with its 四化, brightness.
QString StarsOf(const ChartLayout& layout, int branch) {
    QStringList stars;
    for (int r = 1; r <= kBoxSlots; ++r) {
        const StarSlot& slot = layout.box[branch][r];
        if (slot.kind == StarSlot::Kind::Empty) continue;
        QString text = QString::fromStdString(slot.caption);
        if (slot.kind == StarSlot::Kind::Star && slot.brightness >= 1 && slot.brightness <= 4)
            text += Q(kBrightnessMarks[slot.brightness]);
        stars << text;
    }
    return stars.isEmpty() ? QStringLiteral("なし") : stars.join(QStringLiteral("、"));
}

// The additional stars of a branch that its box has no room for.
QString MinorsBeyondBox(const Tmandata& man, const ChartLayout& layout, int branch) {
    QStringList minors;
    for (int q = 1; q <= kMinorStars; ++q) {
        if (man.minorBranch[q] != branch) continue;
        bool inBox = false;
        for (int r = 1; r <= kBoxSlots; ++r)
            inBox = inBox || (layout.box[branch][r].kind == StarSlot::Kind::Minor && layout.box[branch][r].number == q);
        if (!inBox) minors << Q(kMinorShortNames[q]);
    }
    return minors.join(QStringLiteral("、"));
}

QString DecadeOf(const Tmandata& man, int palace) {
    for (int i = 1; i <= 12; ++i)
        if (man.luckPalace[i] == palace) return QStringLiteral("%1〜%2才").arg(man.luckAge[i]).arg(man.luckAge[i] + 9);
    return {};
}

QString LayerSection(const Tmandata& man, const TimeLayer& layer) {
    QString md = QStringLiteral("\n## ") + Q(LayerCaption(layer)) + QStringLiteral("\n\n");
    md += QStringLiteral("- 四化：") + Q(LayerTransformsText(man, layer)) + QStringLiteral("\n\n");
    const QString kind = Q(LayerCaption(layer)).left(2);
    md += HeaderRow({kind + QStringLiteral("の宮"), QStringLiteral("本命の宮"), QStringLiteral("地支"),
                     kind + QStringLiteral("の四化")});
    for (const int lp : ReadingOrder()) {
        int birth = 0;
        for (int p = 1; p <= kPalaces; ++p)
            if (layer.layerPalace[p] == lp) birth = p;
        if (birth == 0) continue;
        const int branch = man.palaceBranch[birth];
        QStringList marks;
        for (int t = 1; t <= kTransforms; ++t) {
            const TransformCarrier carrier{layer.transformStar[t], layer.transformMinor[t]};
            if (!CarrierShortName(carrier).empty() && CarrierPalace(man, carrier) == birth)
                marks << Q(kTransformNames[t]) + QStringLiteral(" ") + Q(CarrierShortName(carrier));
        }
        md += Row({Q(LayerPalaceName(layer.kind, lp)), Q(PalaceFullName(birth)), BranchOf(branch),
                   marks.join(QStringLiteral("、"))});
    }
    return md;
}

}  // namespace

QString TimeCorrectionText(const std::optional<CorrectedBirth>& exact) {
    if (!exact) return QStringLiteral("なし（入力した時刻で作盤）");
    QString text;
    if (exact->equationMinutes)
        text = QStringLiteral("真太陽時（経度と均時差）");
    else if (exact->longitudeMinutes)
        text = QStringLiteral("地方平均時（経度）");
    else
        text = QStringLiteral("補正なし");
    if (exact->summerMinutes != 0) text += QStringLiteral("、夏時間を除く");
    return text;
}

QString ChartMarkdown(const Tmandata& man, const ChartLayout& layout, const ChartTextBirth& birth,
                      const std::vector<TimeLayer>& layers) {
    const QString name = birth.name.isEmpty() ? QStringLiteral("（氏名なし）") : birth.name;
    QString md = QStringLiteral("# 出生図　") + name + QStringLiteral("\n\n## 出生データ\n\n");
    const auto item = [&md](const QString& label, const QString& value) {
        md += QStringLiteral("- ") + label + QStringLiteral("：") + value + QStringLiteral("\n");
    };
    item(QStringLiteral("氏名"), name);
    QString sex = man.sexCode == 'M' ? QStringLiteral("男命") : QStringLiteral("女命");
    if (man.age > 0) sex += QStringLiteral("　%1才").arg(man.age);
    item(QStringLiteral("性別"), sex);
    item(QStringLiteral("生年月日"), Q(man.birthText) + QStringLiteral("　") + Q(kHourPeriodTexts[man.hourIndex]));
    if (birth.exact) item(QStringLiteral("出生時刻"), Q(CorrectionLine(*birth.exact)));
    if (!birth.place.isEmpty()) item(QStringLiteral("出生地"), birth.place);
    item(QStringLiteral("旧暦"), QStringLiteral("%1月%2日").arg(man.lunarMonth).arg(man.lunarDay));
    item(
        QStringLiteral("四柱"),
        QStringLiteral("時 %1　日 %2　月 %3　年 %4")
            .arg(Q(PillarText(man.stems.hour, man.branches.hour)), Q(PillarText(man.stems.day, man.branches.day)),
                 Q(PillarText(man.stems.month, man.branches.month)), Q(PillarText(man.stems.year, man.branches.year))));
    item(QStringLiteral("五行局"),
         man.bureau >= 1 && man.bureau <= kBureaus ? Q(kBureauNames[man.bureau - 1]) : QString());
    const int bodyPalace = PalaceOnBranch(man, man.bodyPalace);
    item(QStringLiteral("身宮"),
         BranchOf(man.bodyPalace) +
             (bodyPalace ? QStringLiteral("（") + Q(PalaceFullName(bodyPalace)) + QStringLiteral("）") : QString()));
    item(QStringLiteral("行運"),
         (man.luckDirection != 0 ? QStringLiteral("逆行運") : QStringLiteral("順行運")) +
             QStringLiteral("　%1年運　節入まで%2日").arg(man.firstLuckAge).arg(man.daysToTerm));

    md += QStringLiteral("\n## 流派と補正\n\n");
    item(QStringLiteral("流派の設定"), birth.profile);
    item(QStringLiteral("時刻の補正"), TimeCorrectionText(birth.exact));

    md += QStringLiteral("\n## 十二宮\n\n");
    md += HeaderRow({QStringLiteral("宮"), QStringLiteral("地支"), QStringLiteral("宮干"), QStringLiteral("大限"),
                     QStringLiteral("星"), QStringLiteral("枠外の副星")});
    for (const int p : ReadingOrder()) {
        const int b = man.palaceBranch[p];
        const int stem = BranchStem(man.stems.year, b);
        md += Row({PalaceCell(man, p), BranchOf(b), stem ? Q(kStemNames[stem]) : QString(), DecadeOf(man, p),
                   StarsOf(layout, b), MinorsBeyondBox(man, layout, b)});
    }

    md += QStringLiteral("\n## 大限\n\n");
    md += HeaderRow({QStringLiteral("大限"), QStringLiteral("年齢"), QStringLiteral("宮"), QStringLiteral("地支")});
    for (int i = 1; i <= 12; ++i) {
        const int p = man.luckPalace[i];
        md += Row({QString::number(i), QStringLiteral("%1〜%2才").arg(man.luckAge[i]).arg(man.luckAge[i] + 9),
                   p >= 1 && p <= kPalaces ? Q(PalaceFullName(p)) : QString(), BranchOf(man.luckBranch[i])});
    }
    for (const TimeLayer& layer : layers)
        if (layer.kind != LayerKind::Birth) md += LayerSection(man, layer);
    return md;
}

}  // namespace zelvara
