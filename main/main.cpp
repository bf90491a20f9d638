// Zelvaraプロ版: the desktop program.
#include "common/data_folders.h"
#include "common/program_folder.h"
#include "common/qt_translations.h"
#include "main/app_windows.h"
#include "main/gui_message_sink.h"
#include "main/main_window.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zelvara"));
    QApplication::setDesktopFileName(QStringLiteral("jp.zelvara.Zelvara"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("jp.zelvara.Zelvara")));
    zelvara::InstallQtJapanese(app);
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9));

    zelvara::StartupOptions options;
    // Shipped files and the user's tables: one folder when portable, two when installed.
    QString folderError;
    const zelvara::DataFolders folders = zelvara::DataFoldersOf(zelvara::ProgramFolder(), &folderError);
    options.programFolder = folders.shipped;
    options.userFolder = folders.user;
    options.showSplash = !QApplication::arguments().contains(QStringLiteral("--no-splash"));
    options.maintainer = QApplication::arguments().contains(QStringLiteral("--maintainer"));
    const QStringList arguments = QApplication::arguments();
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--register")); at >= 0)
        options.registerUri = arguments.value(at + 1, QStringLiteral("--register"));

    zelvara::GuiMessageSink sink;
    zelvara::TMainForm1 mainForm(sink);
    sink.SetParent(&mainForm);
    if (!folderError.isEmpty()) sink.Show(folderError.toStdString(), {});
    mainForm.RunStartup(options);
    zelvara::ApplicationWindows windows(mainForm);
    mainForm.show();
    // For the install test: start up completely, then end.
    if (QApplication::arguments().contains(QStringLiteral("--quit-after-start")))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
