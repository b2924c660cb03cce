// The desktop program on Qt: the main window and the template window live
// for the whole process; closing the main window ends it.
#include <QApplication>

#include "app/qt/QtScreen.h"
#include "app/qt/uBQDataMerge.h"
#include "app/qt/uBQDataMergeTemplate.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    bq::app::QtScreen screen;
    bq::shell::TemplateWindow templateWindow(screen);
    bq::shell::MainWindow mainWindow(screen, templateWindow);
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
