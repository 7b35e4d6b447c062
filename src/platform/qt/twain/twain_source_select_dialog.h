#pragma once
// The source manager's "Select Source" dialog: the sources it knows, the
// remembered one preselected.

#include "platform/qt/twain/twain_source.h"

#include <QDialog>

#include <string>
#include <vector>

class QDialogButtonBox;
class QListWidget;

namespace lumeno {

class TTwainSourceSelectDialog : public QDialog {
    Q_OBJECT
public:
    TTwainSourceSelectDialog(const std::vector<TTwainDevice>& Devices, const std::string& Current,
                             QWidget* Parent = nullptr);

    // -1 when nothing is selected.
    int SelectedIndex() const;
    QListWidget* Sources() const { return FList; }

private:
    void UpdateButtons();

    QListWidget* FList;
    QDialogButtonBox* FButtons;
};

} // namespace lumeno
