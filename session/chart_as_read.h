// What a consultation entry keeps of the chart it was read from, as text a
// reader can read and the program can read back: the birth as it was cast
// (the civil date and the two-hour period, or the corrected clock time when
// an exact time was used, and the sex) and the layers shown (大限3 流年2027,
// or 本命). From these the chart is cast again as it was read, whatever the
// client's record says today.
#pragma once

#include "engine/chart_request.h"
#include "engine/solar_time.h"
#include "engine/time_layers.h"

#include <QString>

#include <optional>
#include <vector>

namespace zelvara {

// The profile an entry names while the program has only its own conventions.
inline const QString kStandardProfile = QStringLiteral("標準");

struct ChartAsRead {
    char sexCode = 'M';
    int year = 0, month = 0, day = 0;  // the civil date cast
    int hourIndex = 0;                 // 0..11
    std::optional<int> minuteOfDay;    // the corrected time, when an exact time was used
    std::vector<LayerChoice> layers;   // in stack order; empty: the birth chart alone
};

// The birth of a cast chart: "1959-05-07 05:00-07:00 男", or with an exact
// time the corrected moment "1959-05-07 05:42 男", followed by the
// correction when one moved the clock ("1959-05-07 05:42 男 出生時刻 06:00 → 05:42（経度 −18分）").
QString AsReadBirthText(const Tmandata& man, int hourIndex, const std::optional<CorrectedBirth>& exact);
// The layers shown, as the picker names them with their year: 大限3 流年2027
// 流月2027年閏3月 流日2027年4月15日 流時2027年4月15日巳時; 本命 for none.
QString AsReadLayersText(const std::vector<TimeLayer>& layers);

// Both texts read back; nullopt when either is not in these forms (an entry
// typed by hand).
std::optional<ChartAsRead> ParseChartAsRead(const QString& birthText, const QString& layersText);

// The entry fields that cast the chart again (the hour as its period).
BirthInput AsReadInput(const ChartAsRead& read, const QString& name);

}  // namespace zelvara
