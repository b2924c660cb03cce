// The desktop program: the main window and the template window live for
// the whole process; closing the main window ends it.
#include <QApplication>

#include "app/Dialogs.h"
#include "app/uBQDataMerge.h"
#include "app/uBQDataMergeTemplate.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    bq::app::QtDialogs dialogs;
    TForm1 Form1(dialogs, QCoreApplication::arguments());
    TfmTemplate fmTemplate(dialogs, &Form1);
    Form1.SetTemplateWindow(&fmTemplate);
    Form1.show();
    application.exec();
    // Callers look at the output file and the registry, never at the status.
    return 0;
}
