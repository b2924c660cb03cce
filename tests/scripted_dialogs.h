// A Dialogs implementation for tests: answers come from queues filled in
// advance and every dialog asked for is recorded.
#pragma once

#include <QStringList>
#include <deque>
#include <vector>

#include "app/Dialogs.h"

namespace bq::app {

class ScriptedDialogs : public Dialogs {
public:
    struct Box {
        QString caption;
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };
    struct FileDialogSeen {
        QString title;
        QString proposedFile;  // the file name of the first selected file, folder left out
        QStringList filters;
        QString defaultSuffix;
        bool save;
        bool confirmOverwrite;
    };

    // An unanswered question gets No, an unanswered file dialog is cancelled
    // and an unanswered printer set-up is cancelled.
    std::deque<QMessageBox::StandardButton> answers;
    std::deque<QString> files;  // an empty name cancels
    // A file name accepts the printer set-up with a PDF printer writing that file;
    // an empty name cancels.
    std::deque<QString> printAnswers;

    std::vector<Box> boxes;
    std::vector<FileDialogSeen> fileDialogs;
    int printDialogs = 0;
    std::vector<QString> windows;  // captions of the modal windows run

    QMessageBox::StandardButton Message(QWidget* parent, const QString& caption, const QString& text,
                                        QMessageBox::Icon icon, QMessageBox::StandardButtons buttons) override;
    std::optional<QString> RunFileDialog(QFileDialog& dialog) override;
    bool RunPrintDialog(QPrintDialog& dialog) override;
    void RunWindow(QDialog& window) override;
};

}  // namespace bq::app
