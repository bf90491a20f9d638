#include "main/register_csv_window.h"

#include "main/help_topics.h"
#include "register/person_table.h"
#include "register/register_csv.h"
#include "register/register_import.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSaveFile>

namespace zelvara {
namespace {

constexpr int kProgressFrom = 2000;  // records from which a progress dialog shows
constexpr int kRefusalsShown = 20;

const QString kTitle = QStringLiteral("名簿の CSV");
const QString kUtf8Filter = QStringLiteral("CSV UTF-8（Excel 用、BOM 付き） (*.csv)");
const QString kCp932Filter = QStringLiteral("CSV Shift-JIS (*.csv)");

// unit: what the numbers count, "行目" (lines of a CSV file) or "件目" (records).
QString RefusalList(const QString& file, const QString& unit, const ImportReport& report) {
    QStringList lines;
    for (size_t n = 0; n < report.refused.size() && n < size_t(kRefusalsShown); ++n)
        lines << QStringLiteral("%1 %2: %3").arg(report.refused[n].first).arg(unit, report.refused[n].second);
    if (report.refused.size() > size_t(kRefusalsShown))
        lines << QStringLiteral("ほか %1 件").arg(report.refused.size() - size_t(kRefusalsShown));
    return QStringLiteral("「%1」の受け付けられない記録:\n%2").arg(file, lines.join(QLatin1Char('\n')));
}

}  // namespace

void ExportRegisterCsvDialog(QWidget* parent, PersonTable& table, const QString& givenFile, bool shiftJis) {
    const HelpContext help(parent, "registerCsv");
    if (!table.IsOpen()) {
        QMessageBox::warning(parent, kTitle, table.Unavailability());
        return;
    }
    QString filter = shiftJis ? kCp932Filter : kUtf8Filter;
    const QString file =
        !givenFile.isEmpty()
            ? givenFile
            : QFileDialog::getSaveFileName(parent, QStringLiteral("CSVに書き出す"), QStringLiteral("nam_data.csv"),
                                           kUtf8Filter + QStringLiteral(";;") + kCp932Filter, &filter);
    if (file.isEmpty()) return;
    QString error;
    RecordBirthTimes times;
    RecordProfiles profiles;
    const auto read = table.ReadAllRecords(&error, &times, &profiles);
    if (!read) {
        QMessageBox::warning(parent, kTitle, error);
        return;
    }
    const std::vector<PersonValues>& records = *read;
    const QByteArray bytes = WriteRegisterCsv(records, filter == kCp932Filter ? CsvEncoding::Cp932 : CsvEncoding::Utf8,
                                              &error, times, profiles);
    QSaveFile out(file);
    if (error.isEmpty() && (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()))
        error = QStringLiteral("「%1」に書き込めません。%2").arg(file, out.errorString());
    if (!error.isEmpty()) {
        QMessageBox::warning(parent, kTitle, error);
        return;
    }
    QMessageBox::information(parent, kTitle,
                             QStringLiteral("%1 件を「%2」に書き出しました。").arg(records.size()).arg(file));
}

void ImportRegisterCsvDialog(QWidget* parent, PersonTable& table, const QString& givenFile,
                             const QStringList& knownProfiles) {
    const HelpContext help(parent, "registerCsv");
    if (!table.IsWritable()) {
        QMessageBox::warning(parent, kTitle, table.Unavailability());
        return;
    }
    const QString file = !givenFile.isEmpty()
                             ? givenFile
                             : QFileDialog::getOpenFileName(parent, QStringLiteral("CSVから読み込む"), {},
                                                            QStringLiteral("CSV (*.csv *.txt);;すべてのファイル (*)"));
    if (file.isEmpty()) return;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        QMessageBox::warning(parent, kTitle, QStringLiteral("「%1」を読めません。%2").arg(file, in.errorString()));
        return;
    }
    const CsvContent content = ReadRegisterCsv(in.readAll(), file);
    ImportRecordsDialog(parent, table, file, content.error, content.items, kTitle, QStringLiteral("行目"),
                        knownProfiles);
}

void ImportRecordsDialog(QWidget* parent, PersonTable& table, const QString& file, const QString& readError,
                         const std::vector<ImportItem>& items, const QString& title, const QString& unit,
                         const QStringList& knownProfiles) {
    if (!readError.isEmpty()) {
        QMessageBox::warning(parent, title, readError + QStringLiteral("\n名簿は変えていません。"));
        return;
    }

    // Checked first without writing: the user sees what would happen.
    ImportOptions options;
    options.dryRun = true;
    options.skipBad = true;
    options.knownProfiles = knownProfiles;
    const ImportReport preview = ImportRecords(table, items, options);
    if (preview.added == 0) {
        QString text =
            QStringLiteral("読み込める新しい記録はありません（同じ人物がすでにある %1 件）。").arg(preview.duplicates);
        if (!preview.refused.empty()) text += QLatin1Char('\n') + RefusalList(file, unit, preview);
        QMessageBox::information(parent, title, text);
        return;
    }
    QString question = QStringLiteral("%1 件を名簿に加えます。同じ人物がすでにある %2 件は飛ばします。")
                           .arg(preview.added)
                           .arg(preview.duplicates);
    if (!preview.refused.empty())
        question += QStringLiteral("\n受け付けられない %1 件は読み込みません。\n\n%2")
                        .arg(preview.refused.size())
                        .arg(RefusalList(file, unit, preview));
    if (preview.unknownProfiles > 0) question += QLatin1Char('\n') + UnknownProfilesText(preview.unknownProfiles);
    question += QStringLiteral("\n\n読み込む前に今の名簿をバックアップします。よろしいですか？");
    if (QMessageBox::question(parent, title, question) != QMessageBox::Yes) return;

    options.dryRun = false;
    std::unique_ptr<QProgressDialog> progress;
    if (items.size() >= size_t(kProgressFrom)) {
        progress = std::make_unique<QProgressDialog>(QStringLiteral("読み込んでいます…"), QString(), 0, 100, parent);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
        options.progress = [&progress](int done, int total) {
            progress->setValue(done * 100 / total);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        };
    }
    const ImportReport report = ImportRecords(table, items, options);
    progress.reset();
    if (!report.error.isEmpty()) {
        QMessageBox::warning(parent, title, report.error + QStringLiteral("\n名簿は変えていません。"));
        return;
    }
    QString text =
        QStringLiteral("%1 件を読み込みました。同じ人物がすでにある %2 件と、受け付けられない %3 件は飛ばしました。")
            .arg(report.added)
            .arg(report.duplicates)
            .arg(report.refused.size());
    if (report.unknownProfiles > 0) text += QLatin1Char('\n') + UnknownProfilesText(report.unknownProfiles);
    if (!report.backupPath.isEmpty())  // a server register has no file to copy
        text += QStringLiteral("\n読み込む前の名簿は「%1」にあります。").arg(report.backupPath);
    QMessageBox::information(parent, title, text);
}

}  // namespace zelvara
