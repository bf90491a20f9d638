#include "cli/texts_command.h"

#include "cli/command_line.h"
#include "cli/data_folders_cli.h"
#include "exchange/paradox_texts.h"

#include <iostream>

namespace zelvara::cli {

int RunTexts(const QStringList& args) {
    Options opts;
    opts.setApplicationDescription(QStringLiteral(
        "The reading-text tables (KYU12, KANTEI, hosiImi, Ai01, Ai02) and the legends table (helpbun) from Paradox "
        "tables of the same names with their memo files (.MB) in FOLDER. Every record is checked first; nothing is "
        "replaced when one is refused. Without --yes it says what would be replaced and changes nothing (exit 1); "
        "with --yes the user's tables are copied under backup/ and each table's records replaced at once."));
    opts.addPositionalArgument(QStringLiteral("action"), QStringLiteral("what to do"), QStringLiteral("import"));
    opts.addOptions({
        {QStringLiteral("paradox"), QStringLiteral("the folder of the Paradox tables"), QStringLiteral("FOLDER")},
        {QStringLiteral("yes"), QStringLiteral("replace the user's texts (after a backup)")},
    });
    AddHomeOption(opts);
    const QString command = QStringLiteral("texts");
    if (const auto code = ParseCommand(opts, command, args, 1, 1)) return *code;
    if (opts.positionalArguments().value(0) != QLatin1String("import"))
        return UsageError(opts, command, QStringLiteral("texts の後には import を指定して下さい。"));
    const QString folder = opts.value(QStringLiteral("paradox"));
    if (folder.isEmpty())
        return UsageError(opts, command, QStringLiteral("texts import には --paradox FOLDER が要ります。"));

    const TextsImport import = ReadTextsParadox(folder);
    if (!import.error.isEmpty()) {
        std::cerr << import.error.toStdString() << '\n';
        return 1;
    }
    const QString userFolder = UserFolder(ProgramFolder(opts));
    std::cout << DescribeTextsImport(import, userFolder).toStdString() << '\n';
    if (!opts.isSet(QStringLiteral("yes"))) {
        std::cerr << "今の鑑定文と星の説明を置き換えるには --yes を付けて実行して下さい。何も変えていません。\n";
        return 1;
    }
    const TextsReplaced done = ReplaceTexts(import, userFolder);
    for (const QString& copy : done.backups)
        std::cout << QStringLiteral("今の表を「%1」に保存しました。").arg(copy).toStdString() << '\n';
    if (!done.error.isEmpty()) {
        std::cerr << done.error.toStdString() << '\n';
        return 1;
    }
    std::cout << QStringLiteral("%1 個の表を取り込みました。").arg(import.tables.size()).toStdString() << '\n';
    return 0;
}

}  // namespace zelvara::cli
