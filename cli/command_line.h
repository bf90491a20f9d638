// One command's options: declared once on a QCommandLineParser, which both
// reads the arguments and writes the command's --help. What is not declared
// is refused.
#pragma once

#include "engine/context.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <string_view>

namespace zelvara::cli {

using Options = QCommandLineParser;

// Exit code of a malformed command line.
inline constexpr int kExitUsage = 2;

class StderrSink final : public MessageSink {
public:
    void Show(std::string_view text, std::string_view caption) override;
};

// Declares --home DIR (also written --home=DIR).
void AddHomeOption(Options& parser);

// Parses args (the words after the command's name). nullopt when the command
// runs; else the exit code: 0 after --help (printed to stdout), 2 after an
// unknown option, a missing value or a wrong count of words (the fault and
// the command's help on stderr). words: the least and most words the command
// takes after its name.
std::optional<int> ParseCommand(Options& parser, const QString& command, const QStringList& args, int minWords,
                                int maxWords);

// The command's help, from its declarations.
QString CommandHelp(const Options& parser, const QString& command);

// Writes a fault of the command line and the command's help to stderr; returns 2.
int UsageError(const Options& parser, const QString& command, const QString& fault);

// A whole decimal number from min to max (ASCII digits only, no sign, no
// overflow); nullopt for anything else.
std::optional<int> ParseNumber(const QString& text, int min, int max);

// --home, else $ZELVARA_HOME, else the shipped data's folder seen from this
// program: the lookup the desktop program uses too.
std::string ProgramFolder(const Options& parser);

// The text of an option as UTF-8.
std::string Value(const Options& parser, const QString& name);

}  // namespace zelvara::cli
