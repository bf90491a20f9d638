// The 飛星 table: for each palace its branch and stem and where the four
// transformations of that stem fly, the 自化 marked, the 忌 clashes listed,
// and the transformations of a chosen time layer.
#pragma once

#include "engine/time_layers.h"
#include "print/chart_sheet.h"

namespace zelvara {

class PrintDocument;

// One page with its footer. layer may be the birth layer (no layer section);
// birthLines (SheetBirthLines) stand under the title.
void DrawFlyingTable(PrintDocument& doc, const Tmandata& man, const PersonText& person, const TimeLayer& layer,
                     const QStringList& birthLines = {});

// The text of one table cell: 天機→福徳, 文昌（自化）, or 天機→－ when the
// star is not placed.
QString FlyingCellText(const FlyingTransforms& flying, int palace, int transform);

}  // namespace zelvara
