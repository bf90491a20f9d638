#include "main/app_windows.h"

#include "editors/ai_db_window.h"
#include "editors/dbenv_window.h"
#include "editors/koun_db_window.h"
#include "main/deleted_records_window.h"
#include "main/hour_window.h"
#include "main/main_window.h"
#include "main/paradox_window.h"
#include "main/reading_pages.h"
#include "main/register_csv_window.h"
#include "main/register_write_guard.h"
#include "print/print_module.h"
#include "store/convention_profiles.h"
#include "windows/kekkon_window.h"
#include "windows/legends_window.h"
#include "windows/picture_windows.h"
#include "windows/settings_window.h"

#include <QCoreApplication>

namespace zelvara {

ApplicationWindows::ApplicationWindows(TMainForm1& mainForm) {
    auto add = [this](std::unique_ptr<QObject> o) {
        QObject* raw = o.get();
        objects_.push_back(std::move(o));
        return static_cast<QWidget*>(raw->isWidgetType() ? raw : nullptr);
    };
    OpenableWindows w;
    auto* settings = new TCunstomFrm(mainForm.Sink(), mainForm.windowTitle(), mainForm.SettingsPath());
    settings->ShowDataFolders(mainForm.Folders());
    w.settings = add(std::unique_ptr<QObject>(settings));
    w.readingTextEditor = add(std::make_unique<Tdbenvfrm>(mainForm.Readings().Tables()));
    auto* printModule = new Tprintmodule;
    add(std::unique_ptr<QObject>(printModule));
    w.luckTextEditor = add(std::make_unique<TkounDBfrm>(mainForm.Readings().Tables()));
    w.partnerTextEditor = add(std::make_unique<TAiDBfrm>(mainForm.Readings().Tables()));
    w.marriageRules = add(std::make_unique<Tkekkonfrm>());
    // The picture windows print where the other prints go: the printer the
    // printer setup chose (or its file), else a PDF file in the folder used
    // last time. A failure is said, not swallowed.
    const PrintRunner onModulePrinter = [&mainForm, printModule](QWidget*, const QString& document,
                                                                 const PageDrawer& draw) {
        const PrintOutcome outcome = printModule->PrintDrawing(document, draw);
        if (!outcome.message.isEmpty()) mainForm.Sink().Show(outcome.message.toStdString(), {});
    };
    auto* legends = new Thelpbunfrm(mainForm.Sink(), mainForm.Folders());
    legends->SetPrintHandler([&mainForm, legends] { mainForm.PrintLegends(legends->Descriptions()); });
    legends->SetPrintRunner(onModulePrinter);
    w.legends = add(std::unique_ptr<QObject>(legends));
    auto* starMatrix = new Tmatorixfrm(mainForm.SettingsPath());
    starMatrix->SetPrintRunner(onModulePrinter);
    w.starMatrix = add(std::unique_ptr<QObject>(starMatrix));
    w.hourWindow = static_cast<Ttimefrm*>(add(std::make_unique<Ttimefrm>(mainForm.Texts(), &mainForm)));
    settings->SetEditorWindows(w.readingTextEditor, w.luckTextEditor, w.partnerTextEditor);
    settings->SetPrinter(&printModule->Printer());
    auto* deleted = new TDeletedRecordsFrm(mainForm.Persons(), &mainForm);
    settings->SetDeletedRecordsDoor([deleted] { deleted->exec(); });
    settings->SetRegisterPlaceDoor([&mainForm] { mainForm.ReopenRegister(); }, mainForm.RegisterOverride());
    PersonTable& persons = mainForm.Persons();
    // Imports into the register only while it can be written.
    const auto followAccess = [settings, &persons] {
        settings->SetRegisterWriteRefusal(RegisterWriteRefusal(persons));
    };
    followAccess();
    QObject::connect(&persons, &PersonTable::accessChanged, settings, followAccess);
    settings->SetCsvDoors([settings, &persons] { ExportRegisterCsvDialog(settings, persons); },
                          [settings, &persons] {
                              ImportRegisterCsvDialog(settings, persons, {},
                                                      ConventionProfileNames(SettingsFile(settings->SettingsPath())));
                          });
    // Texts from Paradox: pending edits are saved before the tables are
    // replaced, and the tables in use are reopened afterwards.
    settings->SetParadoxDoors([settings, &persons] { ImportRegisterParadoxDialog(settings, persons); },
                              [settings, &mainForm, legends] {
                                  const QString user = mainForm.Folders().user;
                                  ImportTextsParadoxDialog(
                                      settings, user,
                                      [&mainForm, legends] {
                                          LegendsTable& shown = legends->Table();
                                          return mainForm.Readings().Tables().SaveAllPending() &&
                                                 (!shown.IsModified() || shown.Post());
                                      },
                                      [&mainForm, legends, user] {
                                          mainForm.Readings().OpenTables(user);
                                          legends->Table().Open(user);
                                      });
                              });
    mainForm.SetPrintModule(printModule);
    mainForm.SetOpenableWindows(w);
    // The last chance for reading-text edits, while every window still
    // stands (the main window's close asks first): saved, or dropped with a
    // message, never lost unsaid.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, &mainForm, [&mainForm] {
        ReadingTables& tables = mainForm.Readings().Tables();
        if (tables.SaveAllPending()) return;
        tables.DiscardAllPending();
        mainForm.Sink().Show("保存できなかった鑑定文の変更は、プログラムの終了のため破棄しました。", {});
    });
}

ApplicationWindows::~ApplicationWindows() = default;

}  // namespace zelvara
