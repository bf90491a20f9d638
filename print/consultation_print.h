// The print of consultation entries (鑑定記録): one entry, or all of a
// client's, listed on the text grid in the common frame with the reader's
// footer. Long notes run on over the pages, wrapped as a memo wraps them.
#pragma once

#include <QString>

#include <utility>
#include <vector>

namespace zelvara {

class PrintDocument;

struct ConsultationPrintEntry {
    // Label and value, the first the session's date and time, the second the
    // theme (they make the entry's heading); then the question, what was
    // read, the fee, the next appointment.
    std::vector<std::pair<QString, QString>> fields;
    QString notes;
};

struct ConsultationPrint {
    QString client;  // the client's name and birth, for the title line
    std::vector<ConsultationPrintEntry> entries;
};

void DrawConsultations(PrintDocument& doc, const ConsultationPrint& print);

}  // namespace zelvara
