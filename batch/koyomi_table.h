// koyomi.DB: one record per birth moment with its stems and branches, the
// first luck ages of both sexes and the star-slot texts of every palace box.
#pragma once

#include "batch/koyomi_insert.h"
#include "engine/chart_layout.h"
#include "engine/zelvara.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <unordered_map>

namespace zelvara::batch {

inline constexpr const char* kKoyomiFileName = "koyomi.DB";
inline constexpr const char* kKoyomiTableName = "koyomi";
// Declared size of every slot field, in CP932 bytes.
inline constexpr int kKoyomiSlotBytes = 12;

// The 83 fields in table order: KOYOMI, y10 m10 d10 j10, y12 m12 d12 j12,
// ritsuM, ritsuF, FU01..FU06, M01..M06, KEI01 … TOKU06.
const QStringList& KoyomiFieldNames();

// The slot field of palace 1..12 and slot 1..6: "FU01", "M03", "TOKU06".
QString KoyomiSlotField(int palace, int slot);

// yyyymmddhh; sorts like the order of the moments.
std::int32_t KoyomiKey(int year, int month, int day, int hourIndex);

// Builds a fresh koyomi.DB file at path (an existing one there is replaced).
// Every method returns empty on success, else a message naming the file with
// the table engine's reason; after a failure only Close is meaningful.
class KoyomiWriter {
public:
    explicit KoyomiWriter(QString path);
    KoyomiWriter(const KoyomiWriter&) = delete;
    KoyomiWriter& operator=(const KoyomiWriter&) = delete;
    ~KoyomiWriter() { Close(); }

    QString Open();
    QString Begin();  // a transaction: one per year of a run
    QString Append(std::int32_t key, const Tmandata& man, int firstLuckAgeMale, int firstLuckAgeFemale,
                   const ChartLayout& layout);
    QString Commit();
    void Close();  // an open transaction is rolled back

private:
    QString Abort(const QString& reason);
    const SlotText* Text(const std::string& caption, int palace, int slot, QString& error);

    QString path_;
    QString connection_;
    KoyomiInsert insert_;
    // The few dozen distinct captions, converted and checked against the
    // field size once each; map nodes never move, so bound texts stay valid.
    const SlotText empty_;
    std::unordered_map<std::string, SlotText> texts_;
};

}  // namespace zelvara::batch
