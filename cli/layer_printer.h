// The time layers and flying 四化 of a cast chart for the command line
// (`chart --layer`, which may be given several times): JSON fields added to
// the chart object, and a compact text block after the chart text.
#pragma once

#include "engine/chart_request.h"
#include "engine/time_layers.h"

#include <QJsonObject>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace zelvara::cli {

// --layer's value read as a layer choice; a malformed value is explained on
// stderr and gives nullopt.
std::optional<LayerChoice> ReadLayerOption(const std::string& text);

// The layers of a chart, one per choice in their order (calendar days read
// through ctx); the first that cannot be laid is explained on stderr (with
// its --layer text) and gives nullopt.
std::optional<std::vector<TimeLayer>> LayChosenLayers(const EngineContext& ctx, const Chart& chart,
                                                      const std::vector<LayerChoice>& choices,
                                                      const std::vector<std::string>& texts);

// palaceStems, flying, selfTransforms, jiClashes and the layers: one layer
// as the object "layer", several as the array "layers" in their order.
void InsertLayerJson(QJsonObject& chart, const Tmandata& man, const std::vector<TimeLayer>& layers);

// The flying table, then a block for every layer but the birth chart's.
void PrintLayerText(std::ostream& out, const Tmandata& man, const std::vector<TimeLayer>& layers);

}  // namespace zelvara::cli
