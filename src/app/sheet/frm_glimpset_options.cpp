#include "app/common/backgrounds_folder.h"
#include "app/common/window_holder.h"
#include "app/sheet/frm_glimpset_options.h"

#include "controls/kit/fc_font_combo.h"
#include "controls/shell/color_button_palette.h"
#include "controls/shell/dfs_color_button.h"
#include "imagelib/view/pg_open_dialog.h"
#include "platform/dialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace lumeno {
namespace {

template <typename T> T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QSpinBox* SpinBox(const char* name, int min, int max, int step, int value)
{
    auto* box = Named(new QSpinBox, name);
    box->setRange(min, max);
    box->setSingleStep(step);
    box->setValue(value);
    return box;
}

QCheckBox* CheckBox(const char* name, const QString& caption, bool checked)
{
    auto* box = Named(new QCheckBox(caption), name);
    box->setChecked(checked);
    return box;
}

TdfsColorButton* ColorButton(const char* name, TColor colour)
{
    auto* button = Named(new TdfsColorButton, name);
    button->SetColor(colour);
    return button;
}

TfcFontCombo* FontCombo(const char* name)
{
    auto* combo = Named(new TfcFontCombo, name);
    combo->setText(QStringLiteral("Arial"));
    combo->setMinimumWidth(170);
    return combo;
}

} // namespace

TfrmGlimpsetOptions* frmGlimpsetOptions()
{
    return HeldWindow<TfrmGlimpsetOptions>();
}

TfrmGlimpsetOptions::TfrmGlimpsetOptions(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      PGOpenDialog1([this](const QString& Folder) { return Named(new TPGOpenDialog(this, Folder), "PGOpenDialog1"); })
{
    setObjectName(QStringLiteral("frmGlimpsetOptions"));
    setWindowTitle(QStringLiteral("Glimpset Options"));
    auto* tabs = new QTabWidget(this);
    tabs->addTab(BasicPage(), QStringLiteral("Basic"));
    tabs->addTab(BackgroundPage(), QStringLiteral("Background"));
    tabs->addTab(BorderPage(), QStringLiteral("Border FX"));
    tabs->addTab(TitlePage(), QStringLiteral("Title/Footer"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    setMinimumWidth(440);
}

TfrmGlimpsetOptions::~TfrmGlimpsetOptions() = default;

QWidget* TfrmGlimpsetOptions::BasicPage()
{
    auto* page = new QWidget;
    eSize = Named(new QLineEdit(QStringLiteral("96")), "eSize");
    eSize->setToolTip(QStringLiteral("Glimpset Size (pixels)"));
    eSize->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), eSize));
    eSize->installEventFilter(this);
    udCols = SpinBox("udCols", 1, 20, 1, 6);
    udHSpace = SpinBox("udHSpace", 5, 200, 5, 20);
    udVSpace = SpinBox("udVSpace", 20, 200, 5, 30);
    cbIncFileNames = CheckBox("cbIncFileNames", QStringLiteral("Include Filenames"), true);
    cbtnBGColor = ColorButton("cbtnBGColor", clWhite);
    cbtnFontColor = ColorButton("cbtnFontColor", clBlack);
    cbAutoSharpen = CheckBox("cbAutoSharpen", QStringLiteral("Auto Sharpen"), true);
    tbSharpeningFactor = Named(new QSlider(Qt::Horizontal), "tbSharpeningFactor");
    tbSharpeningFactor->setRange(50, 100);
    tbSharpeningFactor->setValue(50);
    tbSharpeningFactor->setMinimumWidth(160);
    connect(cbIncFileNames, &QCheckBox::toggled, this, &TfrmGlimpsetOptions::cbIncFileNamesClick);
    connect(cbAutoSharpen, &QCheckBox::toggled, this, &TfrmGlimpsetOptions::cbAutoSharpenClick);

    auto* form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(QStringLiteral("Size"), eSize);
    form->addRow(QStringLiteral("Columns"), udCols);
    form->addRow(QStringLiteral("H Spc"), udHSpace);
    form->addRow(QStringLiteral("V Spc"), udVSpace);
    form->addRow(cbIncFileNames);
    form->addRow(QStringLiteral("Background Color"), cbtnBGColor);
    form->addRow(QStringLiteral("Text Color"), cbtnFontColor);
    form->addRow(cbAutoSharpen, tbSharpeningFactor);
    return page;
}

QWidget* TfrmGlimpsetOptions::BackgroundPage()
{
    auto* page = new QWidget;
    cbUseBGImage = CheckBox("cbUseBGImage", QStringLiteral("Use Image for Background"), false);
    eBGImage = Named(new QLineEdit(QStringLiteral("None selected...")), "eBGImage");
    eBGImage->setReadOnly(true);
    btnBGImage = Named(new QPushButton(QStringLiteral("...")), "btnBGImage");
    btnBGImage->setFixedWidth(32);
    connect(btnBGImage, &QPushButton::clicked, this, &TfrmGlimpsetOptions::btnBGImageClick);
    auto* grid = new QGridLayout(page);
    grid->addWidget(cbUseBGImage, 0, 0, 1, 2);
    grid->addWidget(eBGImage, 1, 0);
    grid->addWidget(btnBGImage, 1, 1);
    grid->setRowStretch(2, 1);
    return page;
}

QWidget* TfrmGlimpsetOptions::BorderPage()
{
    auto* page = new QWidget;
    cbAddBorder = CheckBox("cbAddBorder", QStringLiteral("Add Border"), true);
    cbtnBorderColor = ColorButton("cbtnBorderColor", clRed);
    cbDropShadow = CheckBox("cbDropShadow", QStringLiteral("Add Shadow"), true);
    cbBevel = CheckBox("cbBevel", QStringLiteral("3D Bevel"), false);
    auto* form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(cbAddBorder, cbtnBorderColor);
    form->addRow(cbDropShadow);
    form->addRow(cbBevel);
    return page;
}

QWidget* TfrmGlimpsetOptions::TitlePage()
{
    auto* page = new QWidget;
    cbTitle = CheckBox("cbTitle", QStringLiteral("Include Title"), false);
    eTitle = Named(new QLineEdit(QStringLiteral("Glimpset created by Lumeno")), "eTitle");
    fcbTitle = FontCombo("fcbTitle");
    cbtnTitleColor = ColorButton("cbtnTitleColor", clRed);
    udTitleSize = SpinBox("udTitleSize", 6, 72, 1, 24);
    cbFooter = CheckBox("cbFooter", QStringLiteral("Include Footer"), false);
    eFooter = Named(new QLineEdit, "eFooter");
    fcbFooter = FontCombo("fcbFooter");
    cbtnFooterColor = ColorButton("cbtnFooterColor", clMaroon);
    udFooterSize = SpinBox("udFooterSize", 6, 72, 1, 8);
    auto* grid = new QGridLayout(page);
    int row = 0;
    for (auto [check, edit, combo, colour, size] :
         {std::tuple{cbTitle, eTitle, fcbTitle, cbtnTitleColor, udTitleSize},
          std::tuple{cbFooter, eFooter, fcbFooter, cbtnFooterColor, udFooterSize}}) {
        grid->addWidget(check, row, 0, 1, 3);
        grid->addWidget(edit, row + 1, 0, 1, 3);
        grid->addWidget(combo, row + 2, 0);
        grid->addWidget(colour, row + 2, 1);
        grid->addWidget(size, row + 2, 2);
        row += 3;
    }
    grid->setRowStretch(row, 1);
    return page;
}

bool TfrmGlimpsetOptions::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == eSize && event->type() == QEvent::FocusOut)
        eSizeExit();
    return QWidget::eventFilter(watched, event);
}

void TfrmGlimpsetOptions::eSizeExit()
{
    bool ok = false;
    const int size = eSize->text().toInt(&ok);
    if (ok && size >= 30 && size <= 900)
        return;
    ShowMessage("Invalid value. Enter a value between 30 and 900");
    eSize->setText(QStringLiteral("96"));
    eSize->setFocus();
}

void TfrmGlimpsetOptions::cbIncFileNamesClick()
{
    if (!cbIncFileNames->isChecked()) {
        udVSpace->setMinimum(5);
        return;
    }
    udVSpace->setMinimum(20); // raises a lower spacing with it
}

void TfrmGlimpsetOptions::cbAutoSharpenClick()
{
    tbSharpeningFactor->setEnabled(cbAutoSharpen->isChecked());
}

void TfrmGlimpsetOptions::btnBGImageClick()
{
    const QString folder = BackgroundsFolder();
    if (!folder.isEmpty())
        PGOpenDialog1.SetDirectory(folder);
    PGOpenDialog1->ExecuteAsync([this](bool accepted) {
        if (accepted)
            eBGImage->setText(QString::fromStdString(PGOpenDialog1->GetFileName()));
    });
}

TSheetOptions TfrmGlimpsetOptions::Options() const
{
    TSheetOptions o;
    o.Size = eSize->text().toInt();
    o.Cols = udCols->value();
    o.HSpace = udHSpace->value();
    o.VSpace = udVSpace->value();
    o.IncFileNames = cbIncFileNames->isChecked();
    o.BGColor = cbtnBGColor->Color();
    o.FontColor = cbtnFontColor->Color();
    o.AutoSharpen = cbAutoSharpen->isChecked();
    o.SharpeningFactor = tbSharpeningFactor->value();
    o.UseBGImage = cbUseBGImage->isChecked();
    o.BGImage = eBGImage->text().toStdString();
    o.AddBorder = cbAddBorder->isChecked();
    o.BorderColor = cbtnBorderColor->Color();
    o.DropShadow = cbDropShadow->isChecked();
    o.Bevel = cbBevel->isChecked();
    o.Title = cbTitle->isChecked();
    o.TitleText = eTitle->text().toStdString();
    o.TitleFont = fcbTitle->text().toStdString();
    o.TitleColor = cbtnTitleColor->Color();
    o.TitleSize = udTitleSize->value();
    o.Footer = cbFooter->isChecked();
    o.FooterText = eFooter->text().toStdString();
    o.FooterFont = fcbFooter->text().toStdString();
    o.FooterColor = cbtnFooterColor->Color();
    o.FooterSize = udFooterSize->value();
    return o;
}

} // namespace lumeno
