#include "app/editor/frm_file_save_options.h"

#include "app/editor/dialog_parts.h"
#include "app/editor/edit_ops.h"
#include "platform/dialogs.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include <optional>

namespace lumeno {

namespace {

// One radio button per value; a value no button has leaves all unchecked.
void ShowChoice(const std::vector<std::pair<QRadioButton*, int>>& Choices, int Value)
{
    for (const auto& [button, value] : Choices) {
        button->setAutoExclusive(false);
        button->setChecked(value == Value);
        button->setAutoExclusive(true);
    }
}

template <typename T> void ReadChoice(const std::vector<std::pair<QRadioButton*, int>>& Choices, T& Option)
{
    for (const auto& [button, value] : Choices)
        if (button->isChecked())
            Option = static_cast<T>(value);
}

QRadioButton* Radio(QWidget* Parent, QLayout* Layout, const char* Name, const QString& Caption)
{
    auto* button = new QRadioButton(Caption, Parent);
    button->setObjectName(Name);
    Layout->addWidget(button);
    return button;
}

QGroupBox* Group(QWidget* Parent, const QString& Title, QGridLayout* Grid, int Row, int Column)
{
    auto* box = new QGroupBox(Title, Parent);
    new QVBoxLayout(box);
    Grid->addWidget(box, Row, Column);
    return box;
}

QLineEdit* Edit(QWidget* Parent, const char* Name)
{
    auto* edit = new QLineEdit(Parent);
    edit->setObjectName(Name);
    return edit;
}

QCheckBox* Check(QWidget* Parent, QLayout* Layout, const char* Name, const QString& Caption)
{
    auto* box = new QCheckBox(Caption, Parent);
    box->setObjectName(Name);
    Layout->addWidget(box);
    return box;
}

// The text a failed conversion reports, as the class library words it.
bool ReadInt(const QLineEdit* Edit, int& Value, std::string& Error)
{
    const auto v = ParseInteger(Edit->text().toStdString());
    if (!v && Error.empty())
        Error = "'" + Edit->text().toStdString() + "' is not a valid integer value";
    if (v)
        Value = *v;
    return v.has_value();
}

} // namespace

TfrmFileSaveOptions::TfrmFileSaveOptions(QWidget* Parent) : QDialog(Parent)
{
    setObjectName("frmFileSaveOptions");
    setWindowTitle(tr("File Save Options"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);

    QGroupBox* jpegW = Group(this, tr("JPEG writing"), grid, 0, 0);
    JPEGWIntFastRB = Radio(jpegW, jpegW->layout(), "JPEGWIntFastRB", tr("Integer, fast"));
    JPEGWIntPreciseRB = Radio(jpegW, jpegW->layout(), "JPEGWIntPreciseRB", tr("Integer, precise"));
    JPEGWFloatRB = Radio(jpegW, jpegW->layout(), "JPEGWFloatRB", tr("Floating point"));
    JPEGWProgressiveCB = Check(jpegW, jpegW->layout(), "JPEGWProgressiveCB", tr("Progressive"));
    auto* quality = new QHBoxLayout;
    tbImageQuality = new QSlider(Qt::Horizontal, jpegW);
    tbImageQuality->setObjectName("tbImageQuality");
    tbImageQuality->setRange(1, 100);
    tbImageQuality->setValue(80);
    tbImageQuality->setMinimumWidth(100);
    quality->addWidget(new QLabel(tr("Lowest"), jpegW));
    quality->addWidget(new QLabel(tr("Highest"), jpegW), 0, Qt::AlignRight);
    auto* jpegLayout = static_cast<QVBoxLayout*>(jpegW->layout());
    jpegLayout->addWidget(new QLabel(tr("Quality"), jpegW));
    jpegLayout->addWidget(tbImageQuality);
    jpegLayout->addLayout(quality);

    QGroupBox* jpegR = Group(this, tr("JPEG reading"), grid, 0, 1);
    JPEGRIntFastRB = Radio(jpegR, jpegR->layout(), "JPEGRIntFastRB", tr("Integer, fast"));
    JPEGRIntPreciseRB = Radio(jpegR, jpegR->layout(), "JPEGRIntPreciseRB", tr("Integer, precise"));
    JPEGRFloatRB = Radio(jpegR, jpegR->layout(), "JPEGRFloatRB", tr("Floating point"));

    QGroupBox* pxm = Group(this, tr("PBM, PGM, PPM"), grid, 0, 2);
    PXMBinaryRB = Radio(pxm, pxm->layout(), "PXMBinaryRB", tr("Write binary"));
    PXMASCIIRB = Radio(pxm, pxm->layout(), "PXMASCIIRB", tr("Write ASCII"));

    QGroupBox* comp = Group(this, tr("TIFF compression"), grid, 1, 0);
    TIFFCompNoneRB = Radio(comp, comp->layout(), "TIFFCompNoneRB", tr("None"));
    TIFFCompPackBitsRB = Radio(comp, comp->layout(), "TIFFCompPackBitsRB", tr("PackBits"));
    QGroupBox* colour = Group(this, tr("TIFF true color"), grid, 1, 1);
    TIFFRGBRB = Radio(colour, colour->layout(), "TIFFRGBRB", tr("RGB"));
    TIFFCMYKRB = Radio(colour, colour->layout(), "TIFFCMYKRB", tr("CMYK"));
    QGroupBox* grey = Group(this, tr("TIFF grayscale"), grid, 1, 2);
    TIFFBlackIsZeroRB = Radio(grey, grey->layout(), "TIFFBlackIsZeroRB", tr("BlackIsZero"));
    TIFFWhiteIsZeroRB = Radio(grey, grey->layout(), "TIFFWhiteIsZeroRB", tr("WhiteIsZero"));
    QGroupBox* order = Group(this, tr("TIFF byte order"), grid, 2, 0);
    TIFFByteOrderIRB = Radio(order, order->layout(), "TIFFByteOrderIRB", tr("I"));
    TIFFByteOrderMRB = Radio(order, order->layout(), "TIFFByteOrderMRB", tr("M"));
    QGroupBox* unit = Group(this, tr("TIFF resolution unit"), grid, 2, 1);
    TIFFResNoneRB = Radio(unit, unit->layout(), "TIFFResNoneRB", tr("No unit"));
    TIFFResInchRB = Radio(unit, unit->layout(), "TIFFResInchRB", tr("Inch"));
    TIFFResCentimeterRB = Radio(unit, unit->layout(), "TIFFResCentimeterRB", tr("Centimeter"));

    auto* res = new QGroupBox(tr("TIFF resolution"), this);
    auto* resForm = new QFormLayout(res);
    auto pair = [&](const QString& caption, QLineEdit* n, QLineEdit* d) {
        auto* row = new QHBoxLayout;
        row->addWidget(n);
        row->addWidget(new QLabel("/", res));
        row->addWidget(d);
        resForm->addRow(caption, row);
    };
    TIFFResHorizNEdit = Edit(res, "TIFFResHorizNEdit");
    TIFFResHorizDEdit = Edit(res, "TIFFResHorizDEdit");
    TIFFResVertNEdit = Edit(res, "TIFFResVertNEdit");
    TIFFResVertDEdit = Edit(res, "TIFFResVertDEdit");
    pair(tr("Horizontal"), TIFFResHorizNEdit, TIFFResHorizDEdit);
    pair(tr("Vertical"), TIFFResVertNEdit, TIFFResVertDEdit);
    grid->addWidget(res, 2, 2);

    auto* gamma = new QGroupBox(tr("Gamma"), this);
    auto* gammaLayout = new QFormLayout(gamma);
    ScreenGammaEdit = Edit(gamma, "ScreenGammaEdit");
    gammaLayout->addRow(tr("Screen Gamma"), ScreenGammaEdit);
    GammaCorrectionOnReadCB = new QCheckBox(tr("Gamma correction on read"), gamma);
    GammaCorrectionOnReadCB->setObjectName("GammaCorrectionOnReadCB");
    WriteGammaCB = new QCheckBox(tr("Write Gamma"), gamma);
    WriteGammaCB->setObjectName("WriteGammaCB");
    gammaLayout->addRow(GammaCorrectionOnReadCB);
    gammaLayout->addRow(WriteGammaCB);
    grid->addWidget(gamma, 3, 0, 1, 3);
    AddOkCancel(this, layout);

    FPxM = {{PXMBinaryRB, 1}, {PXMASCIIRB, 0}};
    FComp = {{TIFFCompNoneRB, 1}, {TIFFCompPackBitsRB, 32773}};
    FCMYK = {{TIFFRGBRB, 0}, {TIFFCMYKRB, 1}};
    FWhite = {{TIFFBlackIsZeroRB, 0}, {TIFFWhiteIsZeroRB, 1}};
    FOrder = {{TIFFByteOrderIRB, 0}, {TIFFByteOrderMRB, 1}};
    FUnit = {{TIFFResNoneRB, 0}, {TIFFResInchRB, 1}, {TIFFResCentimeterRB, 2}};
    FRead = {{JPEGRIntFastRB, 1}, {JPEGRIntPreciseRB, 0}, {JPEGRFloatRB, 2}};
    FWrite = {{JPEGWIntFastRB, 1}, {JPEGWIntPreciseRB, 0}, {JPEGWFloatRB, 2}};
}

void TfrmFileSaveOptions::Fill(const TSaveOptions& o)
{
    ShowChoice(FPxM, o.PxMBinary ? 1 : 0);
    ShowChoice(FComp, o.TIFFCompression);
    ShowChoice(FCMYK, o.TIFFWriteCMYK ? 1 : 0);
    ShowChoice(FWhite, o.TIFFWhiteIsZero ? 1 : 0);
    ShowChoice(FOrder, o.TIFFByteOrder);
    ShowChoice(FUnit, o.TIFFResolutionUnit);
    ShowChoice(FRead, o.JPEGReadMethod);
    ShowChoice(FWrite, o.JPEGWriteMethod);
    TIFFResHorizNEdit->setText(QString::number(o.ResHorizN));
    TIFFResHorizDEdit->setText(QString::number(o.ResHorizD));
    TIFFResVertNEdit->setText(QString::number(o.ResVertN));
    TIFFResVertDEdit->setText(QString::number(o.ResVertD));
    tbImageQuality->setValue(o.JPEGQuality);
    JPEGWProgressiveCB->setChecked(o.JPEGProgressive);
    ScreenGammaEdit->setText(QString::number(o.ScreenGamma, 'g', 15));
    GammaCorrectionOnReadCB->setChecked(o.GammaCorrectionOnRead);
    WriteGammaCB->setChecked(o.WriteGamma);
}

std::optional<TSaveOptions> TfrmFileSaveOptions::Collect(const TSaveOptions& Base) const
{
    TSaveOptions o = Base;
    std::string error;
    bool ok = ReadInt(TIFFResHorizNEdit, o.ResHorizN, error);
    ok = ReadInt(TIFFResHorizDEdit, o.ResHorizD, error) && ok;
    ok = ReadInt(TIFFResVertNEdit, o.ResVertN, error) && ok;
    ok = ReadInt(TIFFResVertDEdit, o.ResVertD, error) && ok;
    // Loading divides by the screen gamma and PNG writing by the image's,
    // which starts as the screen's: zero or less would spoil both.
    auto gamma = ParseDecimal(ScreenGammaEdit->text().toStdString());
    if (!gamma && error.empty())
        error = "'" + ScreenGammaEdit->text().toStdString() + "' is not a valid floating point value";
    if (gamma && !(*gamma > 0)) {
        gamma.reset();
        if (error.empty())
            error = "Screen Gamma must be greater than 0";
    }
    if (!ok || !gamma) {
        ShowMessage(error);
        return std::nullopt;
    }
    o.ScreenGamma = *gamma;
    ReadChoice(FWrite, o.JPEGWriteMethod);
    o.JPEGQuality = tbImageQuality->value();
    o.JPEGProgressive = JPEGWProgressiveCB->isChecked();
    ReadChoice(FRead, o.JPEGReadMethod);
    ReadChoice(FPxM, o.PxMBinary);
    ReadChoice(FComp, o.TIFFCompression);
    ReadChoice(FOrder, o.TIFFByteOrder);
    ReadChoice(FCMYK, o.TIFFWriteCMYK);
    ReadChoice(FWhite, o.TIFFWhiteIsZero);
    ReadChoice(FUnit, o.TIFFResolutionUnit);
    o.WriteGamma = WriteGammaCB->isChecked();
    o.GammaCorrectionOnRead = GammaCorrectionOnReadCB->isChecked();
    return o;
}

void TfrmFileSaveOptions::accept()
{
    const auto options = Collect(ReadSaveOptions());
    if (!options)
        return;
    StoreSaveOptions(*options);
    QDialog::accept();
}

} // namespace lumeno
