#include "cli/register_transfer.h"

#include "cli/command_line.h"
#include "cli/data_folders_cli.h"
#include "cli/register_command.h"
#include "cli/register_location.h"
#include "exchange/paradox_register.h"
#include "register/person_table.h"
#include "register/register_csv.h"
#include "register/register_import.h"
#include "store/convention_profiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <iostream>

namespace zelvara::cli {
namespace {

constexpr int kProgressFrom = 2000;  // records from which a progress line is shown

std::string Local(const QString& text) { return text.toStdString(); }

int Fail(const QString& text) {
    std::cerr << Local(text) << '\n';
    return 1;
}

int Export(PersonTable& table, const QString& file, CsvEncoding encoding) {
    QString error;
    RecordBirthTimes times;
    RecordProfiles profiles;
    const auto read = table.ReadAllRecords(&error, &times, &profiles);
    if (!read) return Fail(error);
    const std::vector<PersonValues>& records = *read;
    const QByteArray bytes = WriteRegisterCsv(records, encoding, &error, times, profiles);
    if (!error.isEmpty()) return Fail(error);
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        return Fail(QStringLiteral("「%1」に書き込めません。%2").arg(file, out.errorString()));
    std::cout << Local(QStringLiteral("%1 件を「%2」に書き出しました。").arg(records.size()).arg(file)) << '\n';
    return 0;
}

// The rows to import: from a CSV file, or from a Paradox table (paradox).
struct Source {
    QString error;
    std::vector<ImportItem> items;
};

Source ReadSource(const QString& file, bool paradox) {
    if (paradox) {
        ParadoxRecords records = ReadRegisterParadox(file);
        return {records.error, std::move(records.items)};
    }
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {QStringLiteral("「%1」を読めません。%2").arg(file, in.errorString()), {}};
    CsvContent content = ReadRegisterCsv(in.readAll(), file);
    return {content.error, std::move(content.items)};
}

int Import(PersonTable& table, const Source& content, const QString& file, bool paradox, bool dryRun, bool skipBad,
           const QStringList& knownProfiles) {
    ImportOptions options;
    options.dryRun = dryRun;
    options.skipBad = skipBad;
    options.knownProfiles = knownProfiles;
    const int total = int(content.items.size());
    if (total >= kProgressFrom)
        options.progress = [](int done, int all) {
            std::cerr << "\r読み込み中 " << done * 100 / all << "%" << std::flush;
        };
    const ImportReport report = ImportRecords(table, content.items, options);
    if (options.progress) std::cerr << "\r読み込み中 100%\n";
    for (const auto& [line, reason] : report.refused)
        std::cerr << Local((paradox ? QStringLiteral("「%1」の %2 件目: %3") : QStringLiteral("「%1」の %2 行目: %3"))
                               .arg(file)
                               .arg(line)
                               .arg(reason))
                  << '\n';
    if (!report.heldBy.isEmpty()) {
        Fail(report.error + QStringLiteral("\n名簿は変えていません。"));
        return kExitHeld;
    }
    if (!report.error.isEmpty()) return Fail(report.error + QStringLiteral("\n名簿は変えていません。"));
    if (!report.backupPath.isEmpty())
        std::cout << Local(QStringLiteral("今の名簿を「%1」に保存しました。").arg(report.backupPath)) << '\n';
    std::cout << Local(ImportSummary(report.added, QStringLiteral("同じ人物がすでにある"), report.duplicates,
                                     int(report.refused.size()), dryRun))
              << '\n';
    if (report.unknownProfiles > 0) std::cout << Local(UnknownProfilesText(report.unknownProfiles)) << '\n';
    return 0;
}

}  // namespace

int RunRegisterTransfer(const QStringList& args) {
    Options opts;
    opts.setApplicationDescription(QStringLiteral(
        "The register to and from CSV (RFC 4180, a header of field names), and records from a Paradox table with the "
        "register's fields (import --paradox nam_data.db, Shift-JIS). export writes every record, UTF-8 with a "
        "byte-order mark or Shift-JIS (--encoding cp932); a value beginning with = + - − @ or a tab, which a "
        "spreadsheet would take for a formula, is written with an apostrophe in front ('=A1), which import takes off "
        "again. import reads UTF-8 or Shift-JIS, columns in any order, checks every record first (sizes, control "
        "characters, sex, hour period, a date that exists within 1921-01-06 to 2100-12-31) and imports nothing when "
        "one is refused (unless --skip-bad), skips records already in the register or earlier in the file, backs the "
        "register up under backup/ and writes in one transaction. Exact birth times travel in five more columns "
        "(出生時刻, 出生地, 経度, タイムゾーン, 補正), written when some record has one, optional on import; the "
        "profile chosen for a record in one more, 流派, likewise (a name the settings here do not have is kept, and "
        "import says how many records name one). import "
        "takes the register's lock (on a server: one import at a time) and stops with exit code 3, naming the holder, "
        "while another program holds it."));
    opts.addPositionalArgument(QStringLiteral("action"), QStringLiteral("what to do"), QStringLiteral("export|import"));
    opts.addOptions({
        {QStringLiteral("csv"), QStringLiteral("the CSV file"), QStringLiteral("FILE")},
        {QStringLiteral("paradox"), QStringLiteral("import: the Paradox table (.DB)"), QStringLiteral("FILE")},
        {QStringLiteral("encoding"), QStringLiteral("export: utf-8 (default) or cp932"), QStringLiteral("NAME")},
        {QStringLiteral("dry-run"), QStringLiteral("import: check and report, write nothing")},
        {QStringLiteral("skip-bad"), QStringLiteral("import: import the good records when some are refused")},
        {QStringLiteral("settings"),
         QStringLiteral("import: the settings file whose profiles this computer has (default: the user's zelv.ini)"),
         QStringLiteral("FILE")},
    });
    AddHomeOption(opts);
    AddRegisterOption(opts);
    const QString command = QStringLiteral("register");
    if (const auto code = ParseCommand(opts, command, args, 1, 1)) return *code;
    const bool exporting = opts.positionalArguments().value(0) == QLatin1String("export");
    const bool paradox = opts.isSet(QStringLiteral("paradox"));
    const QString file = opts.value(paradox ? QStringLiteral("paradox") : QStringLiteral("csv"));
    if (paradox && (exporting || opts.isSet(QStringLiteral("csv"))))
        return UsageError(opts, command,
                          QStringLiteral("--paradox は register import だけに、--csv の代わりに指定して下さい。"));
    if (file.isEmpty())
        return UsageError(
            opts, command,
            QStringLiteral(
                "register export には --csv FILE が、import には --csv FILE か --paradox FILE が要ります。"));
    CsvEncoding encoding = CsvEncoding::Utf8;
    const QString encodingName = opts.value(QStringLiteral("encoding")).toLower();
    if (encodingName == QLatin1String("cp932") || encodingName == QLatin1String("shift-jis") ||
        encodingName == QLatin1String("shift_jis"))
        encoding = CsvEncoding::Cp932;
    else if (!encodingName.isEmpty() && encodingName != QLatin1String("utf-8") && encodingName != QLatin1String("utf8"))
        return UsageError(opts, command, QStringLiteral("--encoding には utf-8 か cp932 を指定して下さい。"));

    // The file is read and checked before the register's lock is taken, so a
    // damaged or hostile file never holds it.
    Source content;
    if (!exporting) {
        content = ReadSource(file, paradox);
        if (!content.error.isEmpty()) return Fail(content.error + QStringLiteral("\n名簿は変えていません。"));
    }
    const QString folder = UserFolder(ProgramFolder(opts));
    StderrSink sink;
    PersonTable table(sink);
    const bool writes = !exporting && !opts.isSet(QStringLiteral("dry-run"));
    if (!OpenChosenRegister(opts, table, folder,
                            writes ? PersonTable::OpenMode::Write : PersonTable::OpenMode::ReadOnly))
        return table.Unavailability().isEmpty() ? 1 : Fail(table.Unavailability());
    if (writes && !table.LockHolder().isEmpty()) return HeldElsewhere(table.LockHolder());
    if (writes && !table.IsWritable()) return Fail(table.Unavailability());
    if (exporting) return Export(table, file, encoding);
    return Import(table, content, file, paradox, opts.isSet(QStringLiteral("dry-run")),
                  opts.isSet(QStringLiteral("skip-bad")),
                  ConventionProfileNames(SettingsFile(opts.value(QStringLiteral("settings")))));
}

}  // namespace zelvara::cli
