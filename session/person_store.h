// Where a cast chart's fields go: the current person's record. The chart
// session writes through this interface only, so that it can be driven
// without a register file (a fake in the tests) and the register can change
// its storage underneath.
#pragma once

#include "engine/zelvara.h"

#include <QString>

#include <array>

namespace zelvara {

// What a cast writes into the person's record.
struct PersonChartFields {
    QString year;                                 // western year, after the era conversion
    QString hour;                                 // hour-period text, "05:00-07:00"
    std::array<QString, kPalaces + 1> mainStars;  // short star name by palace 1..12, empty for none
};

class PersonStore {
public:
    virtual ~PersonStore() = default;
    // Why nothing written now would be kept (no register, or one opened
    // read-only), as a sentence for the user; empty when the store can write.
    virtual QString Unavailability() const = 0;
    // Puts the fields into the current person's record and writes it in one
    // go. False when the store refused the write; the store tells the user why.
    virtual bool WriteChartFields(const PersonChartFields& fields) = 0;
};

}  // namespace zelvara
