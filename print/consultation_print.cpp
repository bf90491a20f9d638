#include "print/consultation_print.h"

#include "print/memo_lines.h"
#include "print/print_document.h"

namespace zelvara {
namespace {

struct PageText {
    int x, y, points;
};
constexpr PageText kHeading{20, 15, 15};
// An entry's heading and its first field line stay on one page.
constexpr int kLinesKeptTogether = 3;

QStringList Wrapped(const QString& text) { return DisplayedLines(MemoLinesOf(text), kReadingMemoColumns); }

}  // namespace

void DrawConsultations(PrintDocument& doc, const ConsultationPrint& print) {
    doc.Text(kHeading.x, kHeading.y, QStringLiteral("【鑑定記録】 ") + print.client, kHeading.points);
    Listing listing(doc);
    bool first = true;
    for (const ConsultationPrintEntry& entry : print.entries) {
        if (!first) listing.Skip(1);
        first = false;
        if (listing.Next() > Listing::kLinesPerPage - kLinesKeptTogether) listing.BreakPage();
        const auto value = [&entry](size_t i) { return i < entry.fields.size() ? entry.fields[i].second : QString(); };
        listing.Lines(Wrapped(QStringLiteral("■ %1　%2").arg(value(0), value(1))));
        for (size_t i = 2; i < entry.fields.size(); ++i) {
            const auto& [label, text] = entry.fields[i];
            if (text.trimmed().isEmpty()) continue;
            listing.Lines(Wrapped(QStringLiteral("%1：%2").arg(label, text)));
        }
        if (!entry.notes.trimmed().isEmpty()) {
            listing.Line(QStringLiteral("メモ："));
            listing.Lines(Wrapped(entry.notes));
        }
    }
    doc.PrintFooter();
}

}  // namespace zelvara
