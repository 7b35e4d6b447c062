#include "imagelib/view/filter_dialog.h"

#include "imagelib/pg_messages.h"
#include "imagelib/view/filter_dialog_form.h"

#include <QApplication>
#include <QLocale>
#include <QPalette>
#include <QString>

namespace lumeno {

std::optional<QFont>& PGFilterDialogFont()
{
    static std::optional<QFont> font;
    return font;
}

std::string SignedValueText(int Position, const std::string& Unit)
{
    const std::string sign = Position >= 1 ? "+" : (Position == 0 ? GetPGLangStr(82) : "");
    return sign + std::to_string(Position) + Unit;
}

std::string TwoDecimalsText(Extended Value)
{
    return QLocale().toString(static_cast<double>(Value), 'f', 2).toStdString();
}

TFilterDialog::TFilterDialog(QObject* Owner) : QObject(Owner)
{
    const QPalette palette = QApplication::palette();
    ProgressClockBkColor = palette.color(QPalette::Button);
    ProgressClockLineColor = palette.color(QPalette::Dark);
}

TFilterDialog::~TFilterDialog()
{
    delete Form;
}

void TFilterDialog::Initialize()
{
    Filter = CreateFilter();
    ApplySettings(*Filter);
}

std::string TFilterDialog::ValueText(int N) const
{
    return N == 1 ? ValueText1() : (N == 2 ? ValueText2() : ValueText3());
}

void TFilterDialog::ValuesChanged()
{
    ApplySettings(*Filter);
    if (OnValuesChanged)
        OnValuesChanged();
}

void TFilterDialog::BeginExecute()
{
    SaveValues();
    // Properties written since the last run may not have reached the filter.
    ApplySettings(*Filter);
    InitTexts();
    delete Form;
    Form = new TFilterDialogForm(*this);
}

bool TFilterDialog::EndExecute(bool Accepted)
{
    TFilterDialogForm* form = Form;
    Form = nullptr;
    form->Shutdown();
    form->deleteLater();
    if (!Accepted) {
        RestoreValues();
        ApplySettings(*Filter);
    }
    return Accepted;
}

bool TFilterDialog::DoExecute()
{
    BeginExecute();
    return EndExecute(Form->exec() == QDialog::Accepted);
}

void TFilterDialog::DoExecuteAsync(std::function<void(bool)> Done)
{
    BeginExecute();
    connect(Form, &QDialog::finished, this, [this, Done](int Result) {
        const bool accepted = EndExecute(Result == QDialog::Accepted);
        if (Done)
            Done(accepted);
    });
    Form->open();
}

bool TPreviewFilterDialog::Execute(TPixelGraphic* AImage)
{
    Image = AImage;
    const bool accepted = DoExecute();
    Image = nullptr;
    return accepted;
}

void TPreviewFilterDialog::ExecuteAsync(TPixelGraphic* AImage, std::function<void(bool)> Done)
{
    Image = AImage;
    DoExecuteAsync([this, Done](bool Accepted) {
        Image = nullptr;
        if (Done)
            Done(Accepted);
    });
}

} // namespace lumeno
