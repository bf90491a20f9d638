#include "cli/layer_printer.h"

#include "common/qstring_utf8.h"
#include "engine/calendar_day.h"
#include "engine/conversion.h"

#include <QJsonArray>

#include <algorithm>
#include <iostream>

namespace zelvara::cli {
namespace {

const char* KindName(LayerKind kind) {
    switch (kind) {
        case LayerKind::Decade: return "decade";
        case LayerKind::Year: return "year";
        case LayerKind::Month: return "month";
        case LayerKind::Day: return "day";
        case LayerKind::Hour: return "hour";
        case LayerKind::Birth: break;
    }
    return "birth";
}

std::string PalaceText(int palace) {
    return palace >= 1 && palace <= kPalaces ? std::string(kPalaceNames[palace]) : "－";
}

QString DateText(const CivilDate& date) {
    return QStringLiteral("%1-%2-%3")
        .arg(date.year, 4, 10, QLatin1Char('0'))
        .arg(date.month, 2, 10, QLatin1Char('0'))
        .arg(date.day, 2, 10, QLatin1Char('0'));
}

QJsonObject LayerObject(const TimeLayer& layer) {
    QJsonArray transforms;
    for (int t = 1; t <= kTransforms; ++t) transforms.append(layer.transformStar[t]);
    QJsonObject object{{"kind", KindName(layer.kind)},
                       {"stem", layer.stem},
                       {"branch", layer.branch},
                       {"lifePalace", layer.lifePalace},
                       {"transforms", transforms}};
    if (std::any_of(layer.transformMinor.begin(), layer.transformMinor.end(), [](int m) { return m != 0; })) {
        QJsonArray minors;  // only when the chart's 四化 table puts one on 左輔 or 右弼
        for (int t = 1; t <= kTransforms; ++t) minors.append(layer.transformMinor[t]);
        object.insert(QStringLiteral("transformMinor"), minors);
    }
    if (layer.kind == LayerKind::Decade) {
        object.insert(QStringLiteral("period"), layer.period);
        object.insert(QStringLiteral("ageFrom"), layer.ageFrom);
        object.insert(QStringLiteral("ageTo"), layer.ageTo);
    }
    if (layer.kind != LayerKind::Birth && layer.kind != LayerKind::Decade)
        object.insert(QStringLiteral("year"), layer.year);
    if (layer.kind == LayerKind::Month || layer.kind == LayerKind::Day || layer.kind == LayerKind::Hour)
        object.insert(QStringLiteral("month"), layer.month);
    if (layer.kind == LayerKind::Day || layer.kind == LayerKind::Hour) {
        object.insert(QStringLiteral("leapMonth"), layer.leapMonth);
        object.insert(QStringLiteral("day"), layer.day);
        object.insert(QStringLiteral("date"), DateText(layer.date));
    }
    return object;
}

}  // namespace

std::optional<LayerChoice> ReadLayerOption(const std::string& text) {
    const auto choice = ParseLayerChoice(text);
    if (!choice)
        std::cerr
            << "--layer には birth、decade:N（1〜12）、year:YYYY、month:YYYY-MM（旧暦の月 1〜12）、day:YYYY-MM-DD、"
               "hour:YYYY-MM-DD:HH（時 0〜23）のどれかを指定して下さい。日付は "
            << kCoveredRangeText << " の実在する日です（" << text << "）。\n";
    return choice;
}

std::optional<std::vector<TimeLayer>> LayChosenLayers(const EngineContext& ctx, const Chart& chart,
                                                      const std::vector<LayerChoice>& choices,
                                                      const std::vector<std::string>& texts) {
    std::vector<TimeLayer> layers;
    for (size_t i = 0; i < choices.size(); ++i) {
        const std::optional<TimeLayer> layer = ChartLayerOf(ctx, chart, choices[i]);
        if (!layer) {
            std::cerr << "この命盤には指定された層を重ねられません（" << (i < texts.size() ? texts[i] : "") << "）。\n";
            return std::nullopt;
        }
        layers.push_back(*layer);
    }
    return layers;
}

void InsertLayerJson(QJsonObject& chart, const Tmandata& man, const std::vector<TimeLayer>& layers) {
    const FlyingTransforms flying = FlyTransforms(man);
    QJsonArray stems, targets, self, clashes;
    for (int p = 1; p <= kPalaces; ++p) {
        stems.append(flying.palaceStem[p]);
        QJsonArray row;
        for (int t = 1; t <= kTransforms; ++t) {
            row.append(flying.target[p][t]);
            if (!flying.SelfTransform(p, t)) continue;
            const TransformCarrier& carrier = flying.carrier[p][t];
            QJsonObject entry{{"palace", p}, {"transform", t}, {"star", carrier.star}};
            if (carrier.minor != 0) entry.insert(QStringLiteral("minor"), carrier.minor);
            self.append(entry);
        }
        targets.append(row);
    }
    for (const FlyingTransforms::JiClash& c : flying.jiClashes)
        clashes.append(QJsonObject{{"from", c.from}, {"to", c.to}, {"clashed", c.clashed}});
    chart.insert(QStringLiteral("palaceStems"), stems);
    chart.insert(QStringLiteral("flying"), targets);
    chart.insert(QStringLiteral("selfTransforms"), self);
    chart.insert(QStringLiteral("jiClashes"), clashes);
    if (layers.size() == 1) {
        chart.insert(QStringLiteral("layer"), LayerObject(layers.front()));
        return;
    }
    QJsonArray objects;
    for (const TimeLayer& layer : layers) objects.append(LayerObject(layer));
    chart.insert(QStringLiteral("layers"), objects);
}

void PrintLayerText(std::ostream& out, const Tmandata& man, const std::vector<TimeLayer>& layers) {
    const FlyingTransforms flying = FlyTransforms(man);
    out << "\n飛星　　　宮（干）　禄 権 科 忌 の飛び先（＊ 自化）　忌沖\n";
    for (int p = 1; p <= kPalaces; ++p) {
        out << "　" << PalaceText(p) << "（" << kStemNames[flying.palaceStem[p]] << "）";
        for (int t = 1; t <= kTransforms; ++t)
            out << "　" << TransformChar(t) << PalaceText(flying.target[p][t])
                << (flying.SelfTransform(p, t) ? "＊" : "");
        for (const FlyingTransforms::JiClash& c : flying.jiClashes)
            if (c.from == p) out << "　沖" << PalaceText(c.clashed);
        out << "\n";
    }
    for (const TimeLayer& layer : layers) {
        if (layer.kind == LayerKind::Birth) continue;
        out << "\n"
            << LayerCaption(layer) << "　命 " << PalaceText(layer.lifePalace) << "\n　四化　"
            << LayerTransformsText(man, layer);
        out << "\n　宮名";
        for (int p = 1; p <= kPalaces; ++p)
            out << "　" << PalaceText(p) << "＝" << LayerPalaceName(layer.kind, layer.layerPalace[p]);
        out << "\n";
    }
}

}  // namespace zelvara::cli
