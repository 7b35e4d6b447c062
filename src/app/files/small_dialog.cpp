#include "app/files/small_dialog.h"

#include "app/common/dialog_buttons.h"

#include <QBoxLayout>

namespace lumeno {

void AddOkCancel(QDialog& Dialog, QBoxLayout& Layout)
{
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    Layout.addWidget(OkCancelButtons(&Dialog, ok, cancel));
}

} // namespace lumeno
