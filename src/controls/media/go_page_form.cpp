#include "controls/media/go_page_form.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace lumeno {

TGoPageForm::TGoPageForm(QWidget* parent)
    : QDialog(parent), PageNum(new QSpinBox(this)), OKBut(new QPushButton(tr("OK"), this)),
      CancelBut(new QPushButton(tr("Cancel"), this))
{
    setObjectName(QStringLiteral("GoPageForm"));
    setWindowTitle(QStringLiteral("Go to Page Number"));
    PageNum->setObjectName(QStringLiteral("PageNum"));
    PageNum->setMinimum(1);
    OKBut->setDefault(true);
    auto* label = new QLabel(tr("&Page:"), this);
    label->setBuddy(PageNum);
    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(PageNum, 0, 1, 1, 2);
    layout->addWidget(OKBut, 1, 1);
    layout->addWidget(CancelBut, 1, 2);
    connect(OKBut, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBut, &QPushButton::clicked, this, &QDialog::reject);
}

} // namespace lumeno
