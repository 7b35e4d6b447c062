#pragma once
// "Preferences": the listed file types, an external editor per type, the
// delete mode and its confirmation, and the associations with the desktop.

#include "platform/qt/dialog_on_demand.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QFileDialog;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QButtonGroup;

namespace lumeno {

class TfPrefs : public QDialog {
    Q_OBJECT
public:
    explicit TfPrefs(QWidget* Parent = nullptr);

    // Called after OK has stored the settings, so the main window takes the
    // delete mode and confirmation at once, rebuilds its mask and refills.
    std::function<void(int DeleteMode, bool ConfirmDeletions)> OnApplied;

    void FormShow();
    void BitBtn1Click();
    void LocateClick(int Tag);
    void Button1Click();

    QTabWidget* PageControl1;
    std::array<QCheckBox*, 10> TypeBoxes{};  // JPG .. TIF in the settings' order
    std::array<QLineEdit*, 10> Edits{};      // Edit1 .. Edit10
    std::array<QPushButton*, 10> Locates{};  // L1 .. L10
    QButtonGroup* DeletionType;
    QCheckBox* cbConfirmDeletions;
    QPushButton* BitBtn1;
    QPushButton* CancelBtn;
    QPushButton* Button1;
    TDialogOnDemand<QFileDialog> OD1;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    QWidget* EditorsPage();
    QWidget* DeletionsPage();
    QFileDialog* MakeLocateDialog(const QString& Folder);
    int locateTag_ = 0;
};

TfPrefs* fPrefs();

} // namespace lumeno
