// The readable print of everything kept about one client (「この人物のデータを
// 書き出す」): a heading, then each part of the data with its items, every
// value wrapped at the listing's width so that nothing is cut.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace zelvara {

class PrintDocument;

struct PersonalDataPart {
    QString heading;                                 // 人物, 鑑定記録 1 …
    std::vector<std::pair<QString, QString>> items;  // label, value (may hold line breaks)
};

struct PersonalDataPrint {
    QString clientName;
    QString madeAt;  // when the data was written out, as shown
    std::vector<PersonalDataPart> parts;
};

// The print of rows that each say their part, the entry's number within it
// (empty for none), the item and its value (register/client_data.h's rows):
// one part for each run of rows with the same part and number.
template <class Rows>
PersonalDataPrint PersonalDataPrintOf(const QString& clientName, const QString& madeAt, const Rows& rows) {
    PersonalDataPrint print{clientName, madeAt, {}};
    QString last;
    for (const auto& row : rows) {
        const QString heading = row.number.isEmpty() ? row.part : row.part + QStringLiteral(" ") + row.number;
        if (print.parts.empty() || heading != last) print.parts.push_back({heading, {}});
        last = heading;
        print.parts.back().items.emplace_back(row.label, row.value);
    }
    return print;
}

// The lines of one item: 「label：value」 wrapped at the listing's width,
// each further line of the value indented.
QStringList PersonalDataItemLines(const QString& label, const QString& value);

void DrawPersonalData(PrintDocument& doc, const PersonalDataPrint& data);

class PdfPrintModule;
struct PrintOutcome;
// Writes the export's two files side by side: the print as the PDF file and
// csv as the CSV file, each under a temporary name first. Either both are
// there afterwards or, with the outcome Failed and its message, neither of
// the new files (an older file of the same name is kept).
PrintOutcome WritePersonalDataFiles(PdfPrintModule& module, const PersonalDataPrint& data, const QByteArray& csv,
                                    const QString& csvPath, const QString& pdfPath);

}  // namespace zelvara
