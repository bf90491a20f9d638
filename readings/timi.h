// Timi: the built-in sentences about the palaces and the stars, shown as
// tooltips on the chart and in the hour window.
#pragma once

#include <array>
#include <string_view>

namespace zelvara {

class Timi {
public:
    Timi();
    // kyuText[1..12] by palace number.
    std::array<std::string_view, 13> kyuText;
    // hosiText[1..20] by star number, [61..73] by 60 + additional-star number.
    std::array<std::string_view, 74> hosiText;
};

}  // namespace zelvara
