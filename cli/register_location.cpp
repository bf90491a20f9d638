#include "cli/register_location.h"

#include "store/register_setting.h"

#include <QDir>
#include <QFileInfo>

#include <iostream>

namespace zelvara::cli {
namespace {

const QString kOption = QStringLiteral("register");

QString GivenUri(const Options& parser) {
    return parser.isSet(kOption) ? parser.value(kOption) : qEnvironmentVariable("ZELVARA_REGISTER");
}

}  // namespace

void AddRegisterOption(Options& parser) {
    parser.addOption({kOption,
                      QStringLiteral("a register on a PostgreSQL server, as a libpq URI "
                                     "(postgresql://user@host/zelvara; default: $ZELVARA_REGISTER, else the file "
                                     "nam_data.db in the user's folder)"),
                      QStringLiteral("URL")});
}

bool ServerRegisterChosen(const Options& parser) { return !GivenUri(parser).isEmpty(); }

bool OpenChosenRegister(const Options& parser, PersonTable& table, const QString& folder, PersonTable::OpenMode mode) {
    const QString uri = GivenUri(parser);
    if (uri.isEmpty()) {
        const QString path = QDir(folder).filePath(QString::fromLatin1(PersonTable::kFileName));
        if (mode == PersonTable::OpenMode::ReadOnly && !QFileInfo(path).isFile()) {  // reading only: nothing to create
            std::cerr << QStringLiteral("名簿のファイル「%1」がありません。").arg(path).toStdString() << '\n';
            return false;
        }
        return table.Open(folder, mode);
    }
    const RegisterChoice choice =
        ChooseRegister(parser.value(kOption), qEnvironmentVariable("ZELVARA_REGISTER"), nullptr);
    if (!choice.error.isEmpty()) {
        std::cerr << choice.error.toStdString() << '\n';
        return false;
    }
    return table.OpenServer(*choice.server, mode);
}

}  // namespace zelvara::cli
