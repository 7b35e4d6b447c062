#include "platform/qt/twain/twain_source_select_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumeno {

TTwainSourceSelectDialog::TTwainSourceSelectDialog(const std::vector<TTwainDevice>& Devices,
                                                   const std::string& Current, QWidget* Parent)
    : QDialog(Parent), FList(new QListWidget(this)),
      FButtons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setObjectName(QStringLiteral("TwainSelectSource"));
    setWindowTitle(tr("Select Source"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Sources:"), this));
    layout->addWidget(FList);
    layout->addWidget(FButtons);
    for (const TTwainDevice& device : Devices) {
        FList->addItem(QString::fromStdString(device.Label));
        if (device.Name == Current)
            FList->setCurrentRow(FList->count() - 1);
    }
    if (FList->currentRow() < 0 && FList->count() > 0)
        FList->setCurrentRow(0);
    FButtons->button(QDialogButtonBox::Ok)->setText(tr("Select"));
    connect(FButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(FButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(FList, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });
    connect(FList, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    UpdateButtons();
}

int TTwainSourceSelectDialog::SelectedIndex() const
{
    return FList->currentRow();
}

void TTwainSourceSelectDialog::UpdateButtons()
{
    FButtons->button(QDialogButtonBox::Ok)->setEnabled(FList->currentRow() >= 0);
}

} // namespace lumeno
