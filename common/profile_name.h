// The name of a convention profile (規則の組, a school's 流派), as the settings
// keep it in zelv.ini's [profiles] and the register keeps it beside a client's
// record: one check for both, so that every name one accepts the other does.
#pragma once

#include <QString>

namespace zelvara {

inline constexpr int kMaxProfileNameLength = 40;

// Why the name cannot be a profile's (a Japanese sentence): empty after
// trimming, a control character, '=', '[' or ']' (which zelv.ini's lines
// would misread), a leading ';' (a comment there) or more than 40
// characters. Empty when it can.
QString ProfileNameFault(const QString& name);

}  // namespace zelvara
