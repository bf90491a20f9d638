// The one way UTF-8 text from the engine (std::string, std::string_view and
// the name tables) becomes a QString. Header-only, so that modules which do
// not link the common library (the print module) can use it too.
#pragma once

#include <QString>

#include <string_view>

namespace zelvara {

inline QString Q(std::string_view utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

}  // namespace zelvara
