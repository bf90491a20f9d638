// Zelvaraプロ版: the desktop program.
#include "app_windows.h"
#include "gui_message_sink.h"
#include "main_window.h"
#include "program_folder.h"

#include <QApplication>
#include <QFont>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zelvara"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9));

    zelvara::StartupOptions options;
    options.programFolder = zelvara::ProgramFolder();
    options.showSplash = !QApplication::arguments().contains(QStringLiteral("--no-splash"));
    options.maintainer = QApplication::arguments().contains(QStringLiteral("--maintainer"));

    zelvara::GuiMessageSink sink;
    zelvara::TMainForm1 mainForm(sink);
    sink.SetParent(&mainForm);
    mainForm.RunStartup(options);
    zelvara::ApplicationWindows windows(mainForm);
    mainForm.show();
    return app.exec();
}
