#include "app/ErrorDisplay.h"

#include <QApplication>

#include "app/AppText.h"
#include "verify/messages.h"

namespace bq::app {

void ShowApplicationError(Dialogs& dialogs, QWidget* parent, std::string_view message) {
    dialogs.Message(parent, FromBytes(kApplicationTitle), DisplayText(DisplayedMessage(message)),
                    QMessageBox::Critical, QMessageBox::Ok);
}

WaitCursor::WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
WaitCursor::~WaitCursor() { QApplication::restoreOverrideCursor(); }

}  // namespace bq::app
