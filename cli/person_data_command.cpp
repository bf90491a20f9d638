#include "cli/person_data_command.h"

#include "cli/register_command.h"
#include "cli/register_location.h"
#include "common/profile_name.h"
#include "print/pdf_print_module.h"
#include "print/personal_data_print.h"
#include "register/client_data.h"
#include "register/client_erasure.h"
#include "register/person_table.h"
#include "store/settings_file.h"

#include <QDateTime>
#include <QDir>

#include <iostream>
#include <optional>

namespace zelvara::cli {
namespace {

std::string Local(const QString& text) { return text.toStdString(); }

std::optional<qint64> ClientNumber(const QString& text, const QString& command) {
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    if (ok && n > 0) return n;
    std::cerr << Local(
                     QStringLiteral("register %1 の後には人物の番号（notes list --client に使う番号）を書いて下さい。")
                         .arg(command))
              << '\n';
    return std::nullopt;
}

}  // namespace

int ExportPerson(const Options& opts, const QString& folder, const QString& numberText, const QString& base) {
    const auto client = ClientNumber(numberText, QStringLiteral("export-person"));
    if (!client) return 2;
    if (base.isEmpty()) {
        std::cerr << "register export-person には --out BASE が要ります（BASE.csv と BASE.pdf を書きます）。\n";
        return 2;
    }
    StderrSink sink;
    PersonTable table(sink);
    if (!OpenChosenRegister(opts, table, folder, PersonTable::OpenMode::ReadOnly)) return 1;
    QString why;
    const std::optional<ClientData> data = ReadClientData(table, *client, &why);
    if (!data) {
        std::cerr << Local(why) << '\n';
        return 1;
    }
    const ClientExportFiles files = ClientExportFilesOf(base);
    // The print's footer carries the reader's own name and telephone number.
    PdfPrintModule printer;
    const OwnerSettings owner = LoadOwnerSettings(SettingsFile());
    printer.SetFooter(owner.title, owner.tel);
    const PrintOutcome outcome = WritePersonalDataFiles(
        printer,
        PersonalDataPrintOf(data->values[kFieldName],
                            QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd HH:mm")),
                            ClientDataRows(*data)),
        ClientDataCsv(*data), files.csv, files.pdf);
    if (!outcome.Printed()) {
        std::cerr << Local(outcome.message.isEmpty() ? QStringLiteral("個人データを書き出せませんでした。")
                                                     : outcome.message)
                  << '\n';
        return 1;
    }
    std::cout << Local(QStringLiteral("「%1」のデータ（鑑定記録 %2 件、削除した鑑定記録 %3 件）を書き出しました。")
                           .arg(data->values[kFieldName])
                           .arg(data->entries.size())
                           .arg(data->deletedEntries.size()))
              << '\n'
              << Local(QDir::toNativeSeparators(files.csv)) << '\n'
              << Local(QDir::toNativeSeparators(files.pdf)) << '\n';
    return 0;
}

int ErasePerson(const Options& opts, const QString& folder, const QString& numberText, bool yes) {
    const auto client = ClientNumber(numberText, QStringLiteral("erase"));
    if (!client) return 2;
    StderrSink sink;
    PersonTable table(sink);
    if (yes) {
        if (const int refused = OpenForWriting(opts, table, folder)) return refused;
    } else if (!OpenChosenRegister(opts, table, folder, PersonTable::OpenMode::ReadOnly)) {
        return 1;
    }
    QString why;
    const std::optional<ClientErasure> plan = PlanClientErasure(table, *client, &why);
    if (!plan) {
        std::cerr << Local(why) << '\n';
        return 1;
    }
    std::cout << Local(ClientErasureText(*plan)) << '\n';
    if (!yes) {
        std::cout << Local(QStringLiteral(
                         "何も削除していません。削除するときは --yes を付けて、もう一度実行してください。"))
                  << '\n';
        return 1;
    }
    QString holder;
    const PersonWrite erased = EraseClient(table, *plan, &holder);
    if (!erased.Ok()) {
        std::cerr << Local(erased.why) << '\n';
        return holder.isEmpty() ? 1 : kExitHeld;
    }
    std::cout << Local(QStringLiteral("「%1」のデータを完全に削除しました。").arg(plan->values[kFieldName])) << '\n'
              << Local(BackupHoldingText(BackupCopiesHolding(table.BackupFolder(), plan->values), table.IsServer(),
                                         table.BackupFolder()))
              << '\n';
    return 0;
}

int PersonProfile(const Options& opts, const QString& folder, const QString& numberText,
                  const std::optional<QString>& name, bool clear, const QStringList& knownProfiles) {
    const auto client = ClientNumber(numberText, QStringLiteral("profile"));
    if (!client) return 2;
    if (name && clear) {
        std::cerr << Local(QStringLiteral("register profile には、流派の名前か --clear のどちらかを指定して下さい。"))
                  << '\n';
        return 2;
    }
    if (name)
        if (const QString fault = ProfileNameFault(*name); !fault.isEmpty()) {
            std::cerr << Local(fault) << '\n';
            return 2;
        }
    const bool writing = name || clear;
    StderrSink sink;
    PersonTable table(sink);
    if (writing) {
        if (const int refused = OpenForWriting(opts, table, folder)) return refused;
    } else if (!OpenChosenRegister(opts, table, folder, PersonTable::OpenMode::ReadOnly)) {
        return 1;
    }
    QString why;
    const std::optional<StoredPerson> stored = StoredClient(table, *client, &why);
    if (!stored) {
        std::cerr << Local(why) << '\n';
        return 1;
    }
    const QString personName = stored->values[kFieldName];
    const auto unknownNote = [&](const QString& profile) {
        if (!profile.isEmpty() && !knownProfiles.contains(profile))
            std::cerr << Local(QStringLiteral("規則の組「%1」はこのコンピューターの設定にありません。"
                                              "設定に作るまでは、既定の組で命盤を作ります。")
                                   .arg(profile))
                      << '\n';
    };
    if (!writing) {
        const std::optional<QString> profile = table.ReadProfile(*client, &why);
        if (!profile) {
            std::cerr << Local(why) << '\n';
            return 1;
        }
        std::cout << Local(profile->isEmpty() ? QStringLiteral("（既定）") : *profile) << '\n';
        unknownNote(*profile);
        return 0;
    }
    const QString chosen = clear ? QString() : name->trimmed();
    const PersonWrite w = table.WriteProfile(*client, chosen);
    if (!w.Ok()) {
        std::cerr << Local(w.result == PersonWrite::Result::Stale
                               ? QStringLiteral("番号 %1 の人物は名簿にいません。").arg(*client)
                               : w.why)
                  << '\n';
        return 1;
    }
    std::cout
        << Local(chosen.isEmpty()
                     ? QStringLiteral("「%1」の流派の選択を消しました（既定の組で命盤を作ります）。").arg(personName)
                     : QStringLiteral("「%1」の流派を「%2」にしました。").arg(personName, chosen))
        << '\n';
    unknownNote(chosen);
    return 0;
}

}  // namespace zelvara::cli
