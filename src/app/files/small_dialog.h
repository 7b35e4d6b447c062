#pragma once
// The OK and Cancel row the small file dialogs share.

class QDialog;
class QBoxLayout;

namespace lumeno {

void AddOkCancel(QDialog& Dialog, QBoxLayout& Layout);

} // namespace lumeno
