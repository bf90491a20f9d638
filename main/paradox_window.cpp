#include "main/paradox_window.h"

#include "exchange/paradox_register.h"
#include "exchange/paradox_texts.h"
#include "main/help_topics.h"
#include "main/register_csv_window.h"
#include "register/person_table.h"

#include <QFileDialog>
#include <QMessageBox>

namespace zelvara {
namespace {

const QString kRegisterTitle = QStringLiteral("名簿の Paradox 取り込み");
const QString kTextsTitle = QStringLiteral("鑑定文と星の説明の Paradox 取り込み");

}  // namespace

void ImportRegisterParadoxDialog(QWidget* parent, PersonTable& table, const QString& givenFile) {
    const HelpContext help(parent, "registerParadox");
    if (!table.IsWritable()) {
        QMessageBox::warning(parent, kRegisterTitle, table.Unavailability());
        return;
    }
    const QString file = !givenFile.isEmpty() ? givenFile
                                              : QFileDialog::getOpenFileName(
                                                    parent, QStringLiteral("Paradox から取り込み"), {},
                                                    QStringLiteral("Paradox の表 (*.db *.DB);;すべてのファイル (*)"));
    if (file.isEmpty()) return;
    const ParadoxRecords records = ReadRegisterParadox(file);
    ImportRecordsDialog(parent, table, file, records.error, records.items, kRegisterTitle, QStringLiteral("件目"));
}

void ImportTextsParadoxDialog(QWidget* parent, const QString& userFolder, const std::function<bool()>& beforeReplace,
                              const std::function<void()>& afterReplace, const QString& givenFolder) {
    const HelpContext help(parent, "textsParadox");
    const QString folder = !givenFolder.isEmpty() ? givenFolder
                                                  : QFileDialog::getExistingDirectory(
                                                        parent, QStringLiteral("Paradox の表があるフォルダー"));
    if (folder.isEmpty()) return;
    const TextsImport import = ReadTextsParadox(folder);
    if (!import.error.isEmpty()) {
        QMessageBox::warning(parent, kTextsTitle, import.error);
        return;
    }
    const QString question =
        DescribeTextsImport(import, userFolder) +
        QStringLiteral("\n\n今の鑑定文と星の説明はバックアップしてから置き換えます。よろしいですか？");
    if (QMessageBox::question(parent, kTextsTitle, question) != QMessageBox::Yes) return;
    if (beforeReplace && !beforeReplace()) {
        QMessageBox::information(
            parent, kTextsTitle,
            QStringLiteral("保存できない変更があるため、取り込みをやめました。鑑定文と星の説明は何も変えていません。"));
        return;
    }
    const TextsReplaced done = ReplaceTexts(import, userFolder);
    if (afterReplace) afterReplace();
    if (!done.error.isEmpty()) {
        QMessageBox::warning(parent, kTextsTitle, done.error);
        return;
    }
    QMessageBox::information(parent, kTextsTitle,
                             QStringLiteral("%1 個の表を取り込みました。\n取り込む前の表は次の場所にあります。\n%2")
                                 .arg(import.tables.size())
                                 .arg(done.backups.isEmpty() ? QStringLiteral("（元の表はありませんでした）")
                                                             : done.backups.join(QLatin1Char('\n'))));
}

}  // namespace zelvara
