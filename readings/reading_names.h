// Names the readings work with: the full palace names of the reading tabs and
// table keys, and the small name helpers of the overall reading.
#pragma once

#include <QString>
#include <QStringList>

namespace zelvara {

// "父母宮" … "福徳宮" for palaces 1..12; empty for anything else.
QString PalaceName(int palace);
// All twelve, in palace order (the Kekka tab captions).
QStringList PalaceNames();

// True when the label carries a transformation mark: at least one "(" and
// at least one ")".
bool IsMarkedStarName(const QString& text);

// Star number 1..20 whose short name equals the text, else 0.
int StarNumberOf(const QString& shortName);

// The palace 180 degrees across (父母宮 ⇄ 疾厄宮 …); empty for any other text.
QString OppositePalace(const QString& palaceName);

// The table key of a short name: the short name plus "星", except 炎星 and
// 鈴星, which already end in "星".
QString LongNameOf(const QString& shortName);

}  // namespace zelvara
