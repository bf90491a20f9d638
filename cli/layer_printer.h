// The time layer and flying 四化 of a cast chart for the command line
// (`chart --layer`): JSON fields added to the chart object, and a compact text
// block after the chart text.
#pragma once

#include "time_layers.h"

#include <QJsonObject>

#include <optional>
#include <ostream>
#include <string>

namespace zelvara::cli {

// --layer's value read as a layer choice; a malformed value is explained on
// stderr and gives nullopt.
std::optional<LayerChoice> ReadLayerOption(const std::string& text);

// palaceStems, flying, selfTransforms, jiClashes and the layer object.
void InsertLayerJson(QJsonObject& chart, const Tmandata& man, const TimeLayer& layer);

void PrintLayerText(std::ostream& out, const Tmandata& man, const TimeLayer& layer);

}  // namespace zelvara::cli
