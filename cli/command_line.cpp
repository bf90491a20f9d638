#include "cli/command_line.h"

#include "common/program_folder.h"
#include "common/shipped_folder.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <iostream>

namespace zelvara::cli {

void StderrSink::Show(std::string_view text, std::string_view caption) {
    if (!caption.empty()) std::cerr << caption << ": ";
    std::cerr << text << "\n";
}

void AddHomeOption(Options& parser) {
    parser.addOption({QStringLiteral("home"),
                      QStringLiteral("folder of the calendar data files and tables (default: $ZELVARA_HOME, else "
                                     "the folder of this program)"),
                      QStringLiteral("DIR")});
}

QString CommandHelp(const Options& parser, const QString& command) {
    // Qt's first line names the executable only; the command follows it here.
    QString help = parser.helpText();
    const qsizetype end = help.indexOf(QLatin1Char('\n'));
    QString words;
    for (const QString& line : help.left(end).split(QLatin1Char(' ')).mid(3)) words += QLatin1Char(' ') + line;
    return QStringLiteral("使い方 / usage: zelvara-cli ") + command + QStringLiteral(" [options]") + words +
           help.mid(end);
}

int UsageError(const Options& parser, const QString& command, const QString& fault) {
    std::cerr << fault.toStdString() << "\n\n" << CommandHelp(parser, command).toStdString();
    return kExitUsage;
}

std::optional<int> ParseCommand(Options& parser, const QString& command, const QStringList& args, int minWords,
                                int maxWords) {
    const QCommandLineOption help = parser.addHelpOption();
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    if (!parser.parse(QStringList{QStringLiteral("zelvara-cli")} + args)) {
        const QStringList unknown = parser.unknownOptionNames();
        const QString fault =
            unknown.isEmpty()
                ? QStringLiteral("%1 の引数が正しくありません: %2").arg(command, parser.errorText())
                : QStringLiteral("%1 では使えない引数です: --%2").arg(command, unknown.join(QStringLiteral(", --")));
        return UsageError(parser, command, fault);
    }
    if (parser.isSet(help)) {
        std::cout << CommandHelp(parser, command).toStdString();
        return 0;
    }
    const qsizetype words = parser.positionalArguments().size();
    if (words < minWords || words > maxWords) {
        const QString fault = words > maxWords
                                  ? QStringLiteral("%1 では使えない引数です: %2")
                                        .arg(command, parser.positionalArguments().mid(maxWords).join(QLatin1Char(' ')))
                                  : QStringLiteral("%1 に必要な語が足りません。").arg(command);
        return UsageError(parser, command, fault);
    }
    return std::nullopt;
}

std::optional<int> ParseNumber(const QString& text, int min, int max) {
    if (text.isEmpty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        value = value * 10 + (c.unicode() - '0');  // nine digits fit in an int
    }
    if (value < min || value > max) return std::nullopt;
    return value;
}

std::string ProgramFolder(const Options& parser) {
    const QString exe = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                     : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    // Without --home or ZELVARA_HOME: the shipped data beside this program, or
    // installed in share/zelvara.
    const QString shipped = QString::fromStdString(ShippedFolderOf(exe.toStdString()));
    return ResolveProgramFolder(parser.value(QStringLiteral("home")), qEnvironmentVariable("ZELVARA_HOME"), shipped)
        .toStdString();
}

std::string Value(const Options& parser, const QString& name) { return parser.value(name).toStdString(); }

}  // namespace zelvara::cli
