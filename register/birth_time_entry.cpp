#include "register/birth_time_entry.h"

#include "common/summer_time.h"

namespace zelvara {

QString BirthTimeEntryFault(const BirthTimeEntry& entry, bool outsideJapanConfirmed) {
    if (!ParseClockTime(entry.clockTime.toStdString()))
        return QStringLiteral(
                   "出生時刻「%1」は時刻として読めません。24 時間制の 時:分（00:00〜23:59、例 "
                   "05:50）で入力して下さい。")
            .arg(entry.clockTime);
    if (!entry.place.isEmpty() && !entry.longitude)
        return QStringLiteral("出生地「%1」の経度が分かりません。一覧から選ぶか、東経を度で入力して下さい。")
            .arg(entry.place);
    if (entry.longitude && !(*entry.longitude >= -180 && *entry.longitude <= 360))
        return QStringLiteral("東経 %1 度は経度としてありません。").arg(*entry.longitude);
    if (!entry.InJapan() && !IsKnownZone(entry.zone))
        return QStringLiteral(
                   "タイムゾーン「%1」は分かりません。Asia/Tokyo、America/New_York のような名で指定して下さい。")
            .arg(entry.zone);
    if (entry.longitude && entry.InJapan() && !outsideJapanConfirmed &&
        (*entry.longitude < kFirstJapanLongitude || *entry.longitude > kLastJapanLongitude))
        return QStringLiteral("東経 %1 度は日本（東経 %2〜%3 度）の外です。")
            .arg(*entry.longitude)
            .arg(kFirstJapanLongitude)
            .arg(kLastJapanLongitude);
    return {};
}

}  // namespace zelvara
