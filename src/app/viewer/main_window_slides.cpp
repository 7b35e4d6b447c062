// The slide show: stepping through the list by hand or on the timer.

#include "app/common/file_list.h"
#include "app/viewer/main_window.h"
#include "platform/dialogs.h"
#include "platform/qt/qt_dialogs.h"

#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace lumeno {

namespace {

void Step(QTreeWidget* list, bool forward)
{
    int first = -1;
    for (int i = 0; i < list->topLevelItemCount() && first < 0; ++i)
        if (list->topLevelItem(i)->isSelected())
            first = i;
    const int index = SlideIndex(list->topLevelItemCount(), first, forward);
    if (index < 0)
        return;
    QTreeWidgetItem* item = list->topLevelItem(index);
    list->setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect);
    list->scrollToItem(item);
}

} // namespace

void TForm1::NextImageButtonClick()
{
    Step(SLV1, true);
}

void TForm1::PreviousImageButtonClick()
{
    Step(SLV1, false);
}

void TForm1::LumenoBtnClick()
{
    if (SLV1->topLevelItemCount() == 0) {
        LumenoBtn->setChecked(false);
        Timer1->stop();
        Bookmarks1->setEnabled(true);
        ShowMessage("You must select a directory with files to run a Lumeno");
        return;
    }
    if (SLV1->selectedItems().isEmpty()) {
        QTreeWidgetItem* first = SLV1->topLevelItem(0);
        SLV1->setCurrentItem(first, 0, QItemSelectionModel::ClearAndSelect);
        ShowFile(ItemPath(first->text(0)));
    }
    const bool running = LumenoBtn->isChecked();
    Timer1->setInterval(UpDown1->value() * 1000);
    if (running)
        Timer1->start();
    else
        Timer1->stop();
    Bookmarks1->setEnabled(!running);
}

void TForm1::UpDown1Click()
{
    Timer1->setInterval(UpDown1->value() * 1000);
}

void TForm1::Timer1Timer()
{
    // A box still open from the last picture: show the next one after it closes.
    if (TQtDialogs::BoxOpen())
        return;
    NextImageButtonClick();
}

} // namespace lumeno
