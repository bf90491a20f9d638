#include "layer_printer.h"

#include "qstring_utf8.h"
#include "stars.h"

#include <QJsonArray>

#include <iostream>

namespace zelvara::cli {
namespace {


const char* KindName(LayerKind kind) {
    switch (kind) {
    case LayerKind::Decade: return "decade";
    case LayerKind::Year: return "year";
    case LayerKind::Month: return "month";
    case LayerKind::Birth: break;
    }
    return "birth";
}

std::string PalaceText(int palace) { return palace >= 1 && palace <= kPalaces ? std::string(kPalaceNames[palace]) : "－"; }

}  // namespace

std::optional<LayerChoice> ReadLayerOption(const std::string& text) {
    const auto choice = ParseLayerChoice(text);
    if (!choice)
        std::cerr << "--layer には birth、decade:N（1〜12）、year:YYYY、month:YYYY-MM（旧暦の月 1〜12）のどれかを指定して下さい（"
                  << text << "）。\n";
    return choice;
}

void InsertLayerJson(QJsonObject& chart, const Tmandata& man, const TimeLayer& layer) {
    const FlyingTransforms flying = FlyTransforms(man);
    QJsonArray stems, targets, self, clashes;
    for (int p = 1; p <= kPalaces; ++p) {
        stems.append(flying.palaceStem[p]);
        QJsonArray row;
        for (int t = 1; t <= kTransforms; ++t) {
            row.append(flying.target[p][t]);
            if (flying.SelfTransform(p, t))
                self.append(QJsonObject{{"palace", p}, {"transform", t}, {"star", TransformStarOf(flying.palaceStem[p], t)}});
        }
        targets.append(row);
    }
    for (const FlyingTransforms::JiClash& c : flying.jiClashes)
        clashes.append(QJsonObject{{"from", c.from}, {"to", c.to}, {"clashed", c.clashed}});
    QJsonArray transforms;
    for (int t = 1; t <= kTransforms; ++t) transforms.append(layer.transformStar[t]);
    QJsonObject layerObject{{"kind", KindName(layer.kind)},
                            {"stem", layer.stem},
                            {"branch", layer.branch},
                            {"lifePalace", layer.lifePalace},
                            {"transforms", transforms}};
    if (layer.kind == LayerKind::Decade) {
        layerObject.insert(QStringLiteral("period"), layer.period);
        layerObject.insert(QStringLiteral("ageFrom"), layer.ageFrom);
        layerObject.insert(QStringLiteral("ageTo"), layer.ageTo);
    }
    if (layer.kind == LayerKind::Year || layer.kind == LayerKind::Month) layerObject.insert(QStringLiteral("year"), layer.year);
    if (layer.kind == LayerKind::Month) layerObject.insert(QStringLiteral("month"), layer.month);
    chart.insert(QStringLiteral("palaceStems"), stems);
    chart.insert(QStringLiteral("flying"), targets);
    chart.insert(QStringLiteral("selfTransforms"), self);
    chart.insert(QStringLiteral("jiClashes"), clashes);
    chart.insert(QStringLiteral("layer"), layerObject);
}

void PrintLayerText(std::ostream& out, const Tmandata& man, const TimeLayer& layer) {
    const FlyingTransforms flying = FlyTransforms(man);
    out << "\n飛星　　　宮（干）　禄 権 科 忌 の飛び先（＊ 自化）　忌沖\n";
    for (int p = 1; p <= kPalaces; ++p) {
        out << "　" << PalaceText(p) << "（" << kStemNames[flying.palaceStem[p]] << "）";
        for (int t = 1; t <= kTransforms; ++t)
            out << "　" << TransformChar(t) << PalaceText(flying.target[p][t]) << (flying.SelfTransform(p, t) ? "＊" : "");
        for (const FlyingTransforms::JiClash& c : flying.jiClashes)
            if (c.from == p) out << "　沖" << PalaceText(c.clashed);
        out << "\n";
    }
    if (layer.kind == LayerKind::Birth) return;
    out << "\n" << LayerCaption(layer) << "　命 " << PalaceText(layer.lifePalace) << "\n　四化　"
        << LayerTransformsText(man, layer);
    out << "\n　宮名";
    for (int p = 1; p <= kPalaces; ++p) out << "　" << PalaceText(p) << "＝" << LayerPalaceName(layer.kind, layer.layerPalace[p]);
    out << "\n";
}

}  // namespace zelvara::cli
