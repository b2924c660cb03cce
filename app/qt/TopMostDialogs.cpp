#include "app/qt/TopMostDialogs.h"

WId ActiveDialogHandle = 0;

// The stay-on-top hint reaches only Qt's own dialog widget, not a
// platform dialog, so the platform's file dialogs are not used.
TTopMostOpenDialog::TTopMostOpenDialog(QWidget* parent) : TTopMost(parent) {
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
}

TTopMostSaveDialog::TTopMostSaveDialog(QWidget* parent) : TTopMost(parent) {
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
}
