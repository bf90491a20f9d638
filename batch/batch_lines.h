// The lines of the three text exports, built from the chart record. Each
// function appends one line without its line end.
#pragma once

#include "engine/zelvara.h"

#include <string>

namespace zelvara::batch {

// CR LF after every line of every export.
inline constexpr std::string_view kLineEnd = "\r\n";

// Stems of year, month, day, hour, then branches of the same: 8 characters.
void AppendPillarCodes(std::string& out, const Tmandata& man);

// 2TXT: MM/DD/HH,pillar codes,main star of palaces 1..12 — 30 characters.
void AppendTwoTxtLine(std::string& out, const Tmandata& man, int month, int day, int hourIndex);

// CASIO: pillar codes, first luck age of a male and of a female birth, the
// branches of 紫薇 and 天府 — 12 characters, no separators.
void AppendCasioLine(std::string& out, const Tmandata& man, int firstLuckAgeMale, int firstLuckAgeFemale);

// 旧: MM/DD,lunar month/lunar day (the lunar date without leading zeros).
void AppendKyuLine(std::string& out, const Tmandata& man, int month, int day);

}  // namespace zelvara::batch
