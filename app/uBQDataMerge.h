// The main window: choose a form and tick its fields to build a template,
// or verify an extract and save its merge output. All processing is done by
// the verification session; the window only shows it and asks the user.
#pragma once

#include <QStringList>
#include <QWidget>
#include <memory>

#include "app/Dialogs.h"
#include "app/FieldListModel.h"
#include "platform/registry.h"
#include "verify/verification_session.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTreeView;
class TAutoSize;
class TfmTemplate;
class TTopMostOpenDialog;

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // `arguments` are the program's arguments, its own name first.
    // Without `registry` the current user's registry is opened when needed.
    TForm1(bq::app::Dialogs& dialogs, QStringList arguments, bq::Registry* registry = nullptr,
           QWidget* parent = nullptr);
    ~TForm1() override;

    void SetTemplateWindow(TfmTemplate* window) { template_ = window; }
    const bq::VerificationSession& Session() const { return session_; }

    // Verifies the extract named in `arguments`, if any, without asking;
    // on success the window closes, which ends the program.
    void FormShow(const QStringList& arguments);

    QComboBox* coForm;
    QTreeView* lvDestination;
    QLabel* TypeStatus;
    QPushButton* bDisplay;
    QPushButton* bVerify;
    TTopMostOpenDialog* OpenDialog;
    bq::app::FieldListModel* FieldList;
    TAutoSize* AutoSize;

public slots:
    void LoadFieldList();
    void coFormChange();
    void lvDestinationCheckStateChange(int row);
    void lvDestinationSelectItem(int row);
    void ShowFieldTypeHint(int row);
    void bVerifyClick();
    void bDisplayClick();

public:
    size_t CountCheckedFields() const { return session_.CountCheckedFields(); }
    // Writes the merge output and shows the import instructions; throws on failure.
    void SaveMergeOutput();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void coFormEdited(const QString& text);
    void FieldListReloaded(int formIndex);
    void UpdateDisplayButton();
    void VerifyLoadedExtract();
    bq::Registry& UserRegistry();

    bq::app::Dialogs& dialogs_;
    QStringList arguments_;
    bq::Registry* registry_;
    std::unique_ptr<bq::Registry> ownRegistry_;
    bq::VerificationSession session_;
    TfmTemplate* template_ = nullptr;
    QString typedPrefix_;  // what the user typed, without the completed rest
    bool shown_ = false;
};
