// The desktop program on Qt: the main window and the template window live
// for the whole process; closing the main window ends it.
#include <QApplication>
#include <QIcon>
#include <cstdio>

#include "app/qt/AppText.h"
#include "app/qt/QtScreen.h"
#include "app/qt/uBQDataMerge.h"
#include "app/qt/uBQDataMergeTemplate.h"
#include "platform/terminal.h"

int main(int argc, char* argv[]) {
    // The toolkit writes its warnings to stderr at any time; a closed stderr
    // must not be the output file by then.
    bq::HoldClosedStandardStreams();
    // Without a display the toolkit would abort with a message of its own.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fputs(
            "BQ2018DM: there is no display to show its window on; bqdm does the same work without one\n",
            stderr);
        return 1;
    }
    QApplication application(argc, argv);
    // The installed desktop entry and icon bear this name; the desktop finds
    // them through it.
    QGuiApplication::setDesktopFileName(QStringLiteral(BQ_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(BQ_APP_ID)));
    bq::app::QtScreen screen;
    bq::shell::TemplateWindow templateWindow(screen);
    bq::shell::MainWindow mainWindow(screen, templateWindow,
                                     bq::app::ToPath(QCoreApplication::applicationFilePath()));
    // The argument's bytes as the system gave them: a file name need not be
    // valid in any text encoding to name an existing file.
    TForm1 Form1(mainWindow, argc > 1 ? argv[1] : "");
    TfmTemplate fmTemplate(templateWindow, &Form1);
    screen.SetWindows(&Form1, &fmTemplate);
    Form1.show();
    application.exec();
    // Callers look at the output file and the registry, never at the status.
    return 0;
}
