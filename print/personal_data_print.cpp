#include "print/personal_data_print.h"

#include "print/memo_lines.h"
#include "print/pdf_print_module.h"
#include "print/print_document.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace zelvara {
namespace {

PrintOutcome NotWritten(const QString& path, const QString& error) {
    PrintOutcome failed;
    failed.status = PrintOutcome::Status::Failed;
    failed.message = QStringLiteral("「%1」を書き込めませんでした。%2").arg(QDir::toNativeSeparators(path), error);
    return failed;
}

struct HeadingText {
    int x, y, points;
};
constexpr HeadingText kTitle{20, 15, 15};
// The listing's width at 10 point, in half-width columns, and the indent of
// a value's further lines.
constexpr int kColumns = kReadingMemoColumns;
const QString kIndent = QStringLiteral("　　");
constexpr int kIndentColumns = 4;

}  // namespace

QStringList PersonalDataItemLines(const QString& label, const QString& value) {
    const QStringList paragraphs = MemoLinesOf(value);
    QStringList lines;
    const QString first = label + QStringLiteral("：") + paragraphs.value(0);
    const QStringList head = DisplayedLines({first}, kColumns);
    lines << head.first();
    // What follows the first line is indented and wrapped to the width left.
    QStringList rest;
    if (head.size() > 1) rest << head.mid(1).join(QString());
    rest << paragraphs.mid(1);
    for (const QString& line : DisplayedLines(rest, kColumns - kIndentColumns)) lines << kIndent + line;
    return lines;
}

void DrawPersonalData(PrintDocument& doc, const PersonalDataPrint& data) {
    doc.Text(kTitle.x, kTitle.y, QStringLiteral("【個人データ】 %1").arg(data.clientName), kTitle.points);
    Listing listing(doc);
    listing.Line(QStringLiteral("書き出した日時：%1").arg(data.madeAt));
    for (const PersonalDataPart& part : data.parts) {
        listing.Skip(1);
        listing.Line(QStringLiteral("■ %1").arg(part.heading));
        for (const auto& [label, value] : part.items) listing.Lines(PersonalDataItemLines(label, value));
    }
    doc.PrintFooter();
}

PrintOutcome WritePersonalDataFiles(PdfPrintModule& module, const PersonalDataPrint& data, const QByteArray& csv,
                                    const QString& csvPath, const QString& pdfPath) {
    // The CSV file waits under its temporary name until the PDF file is
    // complete, so that a failed print leaves no CSV file behind.
    QSaveFile csvFile(csvPath);
    if (!csvFile.open(QIODevice::WriteOnly) || csvFile.write(csv) != csv.size()) {
        const QString error = csvFile.errorString();
        csvFile.cancelWriting();
        return NotWritten(csvPath, error);
    }
    const bool pdfExisted = QFile::exists(pdfPath);
    PrintOutcome outcome = module.PrintPersonalData(data, PdfOutput{pdfPath});
    if (!outcome.Printed()) {
        csvFile.cancelWriting();
        return outcome;
    }
    if (!csvFile.commit()) {
        if (!pdfExisted) QFile::remove(pdfPath);
        return NotWritten(csvPath, csvFile.errorString());
    }
    outcome.files.prepend(csvPath);
    return outcome;
}

}  // namespace zelvara
