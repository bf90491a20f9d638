// A cast chart written out as Markdown, for a mail to the client or for
// another tool: the birth data and the conventions the chart was cast by,
// every palace with its branch, stem and stars (brightness and 四化), the
// body palace, the ten-year periods, and for each layer asked for, every
// layer palace with the birth palace it stands on. The chart page copies
// it and `zelvara-cli chart --format markdown` prints it.
#pragma once

#include "engine/chart_layout.h"
#include "engine/solar_time.h"
#include "engine/time_layers.h"

#include <QString>

#include <optional>
#include <vector>

namespace zelvara {

// What the chart record does not hold: the exact time it was cast from and
// its place, and the conventions' profile.
struct ChartTextBirth {
    QString name;
    std::optional<CorrectedBirth> exact;  // the exact time the chart was cast from, if any
    QString place;                        // BirthPlaceText of the exact time; empty: none
    QString profile = QStringLiteral("標準");
};

// The correction an exact time went through, in words: 補正なし, 地方平均時（経度）,
// 真太陽時（経度と均時差）, with 夏時間 when it was removed; without an exact
// time, that the hour was taken as entered.
QString TimeCorrectionText(const std::optional<CorrectedBirth>& exact);

QString ChartMarkdown(const Tmandata& man, const ChartLayout& layout, const ChartTextBirth& birth,
                      const std::vector<TimeLayer>& layers = {});

}  // namespace zelvara
