#pragma once
// Pieces shared by the editor's dialogs.

#include <QString>

class QBoxLayout;
class QDialog;
class QLineEdit;
class QPushButton;
class QWidget;

namespace lumeno {

// OK and Cancel at the right of a new row of Layout, wired to accept and
// reject; the OK button is returned.
QPushButton* AddOkCancel(QDialog* Dialog, QBoxLayout* Layout, const QString& OkName = "btnOK",
                         const QString& CancelName = "btnCancel");
// An edit that takes only the digits 0-9.
QLineEdit* DigitsEdit(QWidget* Parent, const QString& Name, const QString& Text);

} // namespace lumeno
