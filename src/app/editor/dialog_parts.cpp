#include "app/editor/dialog_parts.h"

#include <QBoxLayout>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace lumeno {

QPushButton* AddOkCancel(QDialog* Dialog, QBoxLayout* Layout, const QString& OkName,
                         const QString& CancelName)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    auto* ok = new QPushButton(QObject::tr("OK"), Dialog);
    ok->setObjectName(OkName);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QObject::tr("Cancel"), Dialog);
    cancel->setObjectName(CancelName);
    row->addWidget(ok);
    row->addWidget(cancel);
    Layout->addLayout(row);
    QObject::connect(ok, &QPushButton::clicked, Dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, Dialog, &QDialog::reject);
    return ok;
}

QLineEdit* DigitsEdit(QWidget* Parent, const QString& Name, const QString& Text)
{
    auto* edit = new QLineEdit(Text, Parent);
    edit->setObjectName(Name);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    return edit;
}

} // namespace lumeno
