// The main window's work across clients and on one client's own data: the
// 予定 and 記録検索 windows and the way from one of their rows to the client,
// 「この人物のデータを書き出す」 and 「この人物のデータを完全に削除」.
#include "main/consultation_list_windows.h"
#include "main/data_input_page.h"
#include "main/main_window.h"
#include "main/register_write_guard.h"
#include "print/personal_data_print.h"
#include "register/client_data.h"
#include "register/client_erasure.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QTabWidget>

namespace zelvara {

TAgendaFrm& TMainForm1::AgendaWindow() {
    if (!agenda_)
        agenda_ = new TAgendaFrm(
            persons_, [this](qint64 client, qint64 entry) { OpenClientEntry(client, entry); }, this);
    return *agenda_;
}

TNotesSearchFrm& TMainForm1::NotesSearchWindow() {
    if (!notesSearch_)
        notesSearch_ = new TNotesSearchFrm(
            persons_, [this](qint64 client, qint64 entry) { OpenClientEntry(client, entry); }, this);
    return *notesSearch_;
}

void TMainForm1::OpenClientEntry(qint64 client, qint64 entryId) {
    int row = -1;
    for (int r = 0; r < persons_.RecordCount() && row < 0; ++r)
        if (persons_.Record(r).rowId == client) row = r;
    // A client outside the extraction in view: every record is shown again.
    if (row < 0 && persons_.IsFiltered() && persons_.ClearFilter())
        for (int r = 0; r < persons_.RecordCount() && row < 0; ++r)
            if (persons_.Record(r).rowId == client) row = r;
    if (row < 0) {
        Message(QStringLiteral("この記録の人物（番号 %1）は名簿にいません。").arg(client));
        return;
    }
    if (persons_.CurrentRow() != row && !persons_.MoveTo(row)) return;
    raise();
    activateWindow();
    // The entry on the 鑑定記録 page; the data page when it cannot be shown
    // there (the page says nothing then: it was deleted meanwhile, or edits
    // left on the page were kept).
    if (!ShowConsultationEntry(entryId)) PageControl1->setCurrentWidget(dataPage_);
}

// The current person as stored, after its pending edits are written; -1
// after saying why there is none.
static qint64 CurrentClient(PersonTable& persons, const std::function<void(const QString&)>& say) {
    if (persons.CurrentRow() < 0) {
        say(QStringLiteral("人物が選ばれていません。"));
        return -1;
    }
    if (persons.IsModified() && !persons.Post()) return -1;
    const qint64 client = persons.Record(persons.CurrentRow()).rowId;
    if (client < 0) say(QStringLiteral("この人物はまだ名簿に登録されていません。"));
    return client;
}

void TMainForm1::ExportPersonClick() {
    const qint64 client = CurrentClient(persons_, [this](const QString& t) { Message(t); });
    if (client < 0) return;
    QString why;
    const std::optional<ClientData> data = ReadClientData(persons_, client, &why);
    if (!data) {
        Message(QStringLiteral("この人物のデータを読めません。\n%1").arg(why));
        return;
    }
    const QString suggested = QDir(PdfFolder()).filePath(SuggestedClientExportName(data->values[kFieldName]));
    const QString base =
        askExportName_ ? askExportName_(suggested)
                       : QFileDialog::getSaveFileName(this, QStringLiteral("この人物のデータを書き出す（CSV と PDF）"),
                                                      suggested, QStringLiteral("CSV と PDF (*.csv *.pdf)"));
    if (base.isEmpty()) return;
    const ClientExportFiles files = ClientExportFilesOf(base);
    const PrintOutcome outcome = WritePersonalDataFiles(
        PrintModuleWithFooter(),
        PersonalDataPrintOf(data->values[kFieldName],
                            QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd HH:mm")),
                            ClientDataRows(*data)),
        ClientDataCsv(*data), files.csv, files.pdf);
    if (!outcome.Printed()) {
        Message(outcome.message.isEmpty() ? QStringLiteral("個人データを書き出せませんでした。") : outcome.message);
        return;
    }
    Message(
        QStringLiteral("「%1」のデータを書き出しました。\n%2\n%3")
            .arg(data->values[kFieldName], QDir::toNativeSeparators(files.csv), QDir::toNativeSeparators(files.pdf)));
}

void TMainForm1::ErasePersonClick() {
    if (const QString refusal = RegisterWriteRefusal(persons_); !refusal.isEmpty()) {
        Message(refusal);
        return;
    }
    const qint64 client = CurrentClient(persons_, [this](const QString& t) { Message(t); });
    if (client < 0) return;
    QString why;
    const std::optional<ClientErasure> plan = PlanClientErasure(persons_, client, &why);
    if (!plan) {
        Message(QStringLiteral("この人物のデータを読めません。\n%1").arg(why));
        return;
    }
    if (!Ask(ClientErasureText(*plan) + QStringLiteral("\n\n完全に削除しますか？"))) return;
    const PersonWrite erased = EraseClient(persons_, *plan);
    if (!erased.Ok()) {
        Message(erased.why);
        return;
    }
    Message(
        QStringLiteral("「%1」のデータを完全に削除しました。\n\n%2")
            .arg(plan->values[kFieldName], BackupHoldingText(BackupCopiesHolding(persons_.BackupFolder(), plan->values),
                                                             persons_.IsServer(), persons_.BackupFolder())));
}

}  // namespace zelvara
