// The choice of a birth hour that is not known: the candidates of all twelve
// periods are shown and the user picks one or gives up. The hour window
// implements it; tests use a fake that picks or cancels.
#pragma once

#include "engine/chart_request.h"

#include <optional>

namespace zelvara {

class HourChooser {
public:
    virtual ~HourChooser() = default;
    // The chosen period 0..11, or nothing when the choice was abandoned.
    virtual std::optional<int> ChooseHour(const HourGrid& candidates) = 0;
};

}  // namespace zelvara
