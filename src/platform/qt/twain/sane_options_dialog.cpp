#include "platform/qt/twain/sane_options_dialog.h"

#include "platform/qt/twain/sane_device.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QPushButton>

#include <algorithm>

namespace lumeno {

namespace {

// The bounds an option's constraint sets; none: anything.
void Bounds(const SANE_Option_Descriptor& d, double& low, double& high)
{
    const auto value = [&d](SANE_Word w) { return d.type == SANE_TYPE_FIXED ? SaneUnfix(w) : w; };
    low = -1e9;
    high = 1e9;
    if (d.constraint_type == SANE_CONSTRAINT_RANGE && d.constraint.range) {
        low = value(d.constraint.range->min);
        high = value(d.constraint.range->max);
    } else if (d.constraint_type == SANE_CONSTRAINT_WORD_LIST && d.constraint.word_list &&
               d.constraint.word_list[0] > 0) {
        const SANE_Word* first = d.constraint.word_list + 1;
        const auto [lo, hi] = std::minmax_element(first, first + d.constraint.word_list[0]);
        low = value(*lo);
        high = value(*hi);
    }
}

} // namespace

TSaneOptionsDialog::TSaneOptionsDialog(TSaneDevice& Device, const QString& Title, QWidget* Parent)
    : QDialog(Parent), FDevice(Device)
{
    setObjectName(QStringLiteral("TwainSourceDialog"));
    setWindowTitle(Title);
    auto* form = new QFormLayout(this);
    FResolution = AddNumber(form, "resolution", tr("Resolution (dpi):"));
    const auto modes = FDevice.StringChoices("mode");
    if (!modes.empty()) {
        FMode = new QComboBox(this);
        for (const std::string& mode : modes)
            FMode->addItem(QString::fromStdString(mode));
        std::string current;
        if (FDevice.GetString("mode", current))
            FMode->setCurrentText(QString::fromStdString(current));
        form->addRow(tr("Mode:"), FMode);
    }
    AddNumber(form, "tl-x", tr("Left:"));
    AddNumber(form, "tl-y", tr("Top:"));
    AddNumber(form, "br-x", tr("Right:"));
    AddNumber(form, "br-y", tr("Bottom:"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Scan"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QDoubleSpinBox* TSaneOptionsDialog::AddNumber(QFormLayout* Form, const std::string& Option,
                                              const QString& Label)
{
    const SANE_Option_Descriptor* d = FDevice.Option(Option);
    double value = 0;
    if (!d || !FDevice.GetNumber(Option, value))
        return nullptr;
    double low = 0;
    double high = 0;
    Bounds(*d, low, high);
    auto* edit = new QDoubleSpinBox(this);
    edit->setDecimals(d->type == SANE_TYPE_FIXED ? 1 : 0);
    edit->setRange(low, high);
    edit->setValue(value);
    constexpr int SANE_UNIT_PIXEL = 1, SANE_UNIT_MM = 3;
    if (d->unit == SANE_UNIT_MM)
        edit->setSuffix(tr(" mm"));
    else if (d->unit == SANE_UNIT_PIXEL)
        edit->setSuffix(tr(" px"));
    Form->addRow(Label, edit);
    FNumbers.push_back({Option, edit, edit->value()});
    return edit;
}

void TSaneOptionsDialog::Apply()
{
    // The mode first: it may change which other options are active.
    if (FMode)
        FDevice.SetString("mode", FMode->currentText().toStdString());
    // Untouched values stay exact: the edits round them.
    for (const TNumberField& field : FNumbers)
        if (field.Edit->value() != field.Initial)
            FDevice.SetNumber(field.Option, field.Edit->value());
}

} // namespace lumeno
