#include "editors/navi_types.h"

#include <array>

namespace zelvara {
namespace {

constexpr std::array<const char*, kNaviButtonCount> kCaptions = {"&First",  "&Prior", "&Next", "&Last",   "&Insert",
                                                                 "&Delete", "&Edit",  "&Post", "&Cancel", "&Refresh"};

}  // namespace

QString DefaultCaption(TNavigateBtn kind) { return QString::fromLatin1(kCaptions[kind]); }

QString ButtonName(TNavigateBtn kind) { return DefaultCaption(kind).remove(0, 1); }

QString KindWord(TNavigateBtn kind) { return ButtonName(kind).toUpper(); }

}  // namespace zelvara
