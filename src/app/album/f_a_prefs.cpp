#include "app/album/f_a_prefs.h"

#include "app/album/radio_group.h"
#include "app/common/settings_store.h"
#include "app/common/window_holder.h"
#include "controls/shell/color_button_palette.h"
#include "controls/shell/dfs_color_button.h"

#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace lumeno {

namespace {

QSpinBox* SpinBox(QWidget* parent, const char* name, int low, int high, int step, const char* hint)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(low, high);
    box->setSingleStep(step);
    box->setToolTip(hint);
    return box;
}

} // namespace

TfAPrefs* fAPrefs()
{
    return HeldWindow<TfAPrefs>();
}

TfAPrefs::TfAPrefs(QWidget* parent) : QDialog(parent)
{
    setObjectName("fAPrefs");
    setWindowTitle("Frame Setup");
    setModal(true);
    PageControl1 = new QTabWidget(this);
    PageControl1->addTab(MakeImagesPage(), "Images");
    PageControl1->addTab(MakeCaptionsPage(), "Captions");
    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(buttons);
    SetOptions(TAlbumOptions{});
}

TfAPrefs::~TfAPrefs() = default;

QWidget* TfAPrefs::MakeImagesPage()
{
    auto* page = new QWidget;
    Rows = SpinBox(page, "Rows", 1, 6, 1, "Number Of Rows");
    Cols = SpinBox(page, "Cols", 1, 6, 1, "Number Of Columns");
    Border = SpinBox(page, "Border", 10, 500, 10, "Space around image");
    txtImagesPerSheet = new QLabel(page);
    txtImagesPerSheet->setObjectName("txtImagesPerSheet");
    cbPrintFrames = new QCheckBox("Print Frames", page);
    cbPrintFrames->setObjectName("cbPrintFrames");
    rgQuality = new TRadioGroup("Resizing Quality", {"Good (fastest)   ", "Better", "Best (slowest)"}, page);
    rgQuality->setObjectName("rgQuality");
    rgBorderEffect = new TRadioGroup(
        "Border Effect", {"None", "Drop Shadow", "Soft Rectange", "Soft Ellipse", "White Border", "Bevel"},
        page);
    rgBorderEffect->setObjectName("rgBorderEffect");
    connect(Rows, &QSpinBox::valueChanged, this, &TfAPrefs::UpdateImagesPerSheet);
    connect(Cols, &QSpinBox::valueChanged, this, &TfAPrefs::UpdateImagesPerSheet);

    auto* numbers = new QFormLayout;
    numbers->addRow("Rows", Rows);
    numbers->addRow("Columns", Cols);
    numbers->addRow("Border", Border);
    numbers->addRow("Images Per Sheet", txtImagesPerSheet);
    numbers->addRow(cbPrintFrames);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(numbers);
    layout->addWidget(rgQuality);
    layout->addWidget(rgBorderEffect);
    return page;
}

QWidget* TfAPrefs::MakeCaptionsPage()
{
    auto* page = new QWidget;
    rgCaption =
        new TRadioGroup("Caption Options",
                        {"None", "Filename", "Caption", "Date/Time", "Filename + Date/Time", "Custom"}, page);
    rgCaption->setObjectName("rgCaption");
    rgCaptionPlacement = new TRadioGroup("Caption Placement", {"Under Image", "Embedded In Image"}, page);
    rgCaptionPlacement->setObjectName("rgCaptionPlacement");
    auto* colorGroup = new QGroupBox("Caption Color", page);
    cbTransparentBackGround = new QCheckBox("Transparent Background", colorGroup);
    cbTransparentBackGround->setObjectName("cbTransparentBackGround");
    CaptionColor = new TdfsColorButton(colorGroup);
    CaptionColor->setObjectName("CaptionColor");
    auto* colorLayout = new QVBoxLayout(colorGroup);
    colorLayout->addWidget(cbTransparentBackGround);
    colorLayout->addWidget(CaptionColor);
    rgEmbeddedPosition = new TRadioGroup(
        "Embedded Position",
        {"Top Left", "Bottom Left", "Top Center", "Bottom Center", "Top Right", "Bottom Right"}, page);
    rgEmbeddedPosition->setObjectName("rgEmbeddedPosition");
    eCustomCaption = new QLineEdit(page);
    eCustomCaption->setObjectName("eCustomCaption");
    eCustomCaption->installEventFilter(this);
    connect(rgCaption, &TRadioGroup::Clicked, this, &TfAPrefs::rgCaptionClick);
    connect(rgCaptionPlacement, &TRadioGroup::Clicked, this, &TfAPrefs::rgCaptionPlacementClick);

    auto* middle = new QVBoxLayout;
    middle->addWidget(rgCaptionPlacement);
    middle->addWidget(colorGroup);
    middle->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addWidget(rgCaption);
    columns->addLayout(middle);
    columns->addWidget(rgEmbeddedPosition);
    auto* custom = new QHBoxLayout;
    custom->addWidget(new QLabel("Custom Caption", page));
    custom->addWidget(eCustomCaption);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(columns);
    layout->addLayout(custom);
    return page;
}

TAlbumOptions TfAPrefs::Options() const
{
    TAlbumOptions o;
    o.Rows = Rows->value();
    o.Cols = Cols->value();
    o.Border = Border->value();
    o.PrintFrames = cbPrintFrames->isChecked();
    o.Quality = rgQuality->ItemIndex();
    o.BorderEffect = rgBorderEffect->ItemIndex();
    o.Caption = rgCaption->ItemIndex();
    o.CaptionPlacement = rgCaptionPlacement->ItemIndex();
    o.EmbeddedPosition = rgEmbeddedPosition->ItemIndex();
    o.TransparentBackground = cbTransparentBackGround->isChecked();
    o.CaptionColor = CaptionColor->Color();
    o.CustomCaption = eCustomCaption->text().toStdString();
    return o;
}

void TfAPrefs::SetOptions(const TAlbumOptions& o)
{
    Rows->setValue(o.Rows);
    Cols->setValue(o.Cols);
    Border->setValue(o.Border);
    cbPrintFrames->setChecked(o.PrintFrames);
    rgQuality->SetItemIndex(o.Quality);
    rgBorderEffect->SetItemIndex(o.BorderEffect);
    rgCaption->SetItemIndex(o.Caption);
    rgCaptionPlacement->SetItemIndex(o.CaptionPlacement);
    rgEmbeddedPosition->SetItemIndex(o.EmbeddedPosition);
    cbTransparentBackGround->setChecked(o.TransparentBackground);
    CaptionColor->SetColor(o.CaptionColor);
    eCustomCaption->setText(QString::fromStdString(o.CustomCaption));
    UpdateImagesPerSheet();
    UpdateEmbeddedEnabled();
}

void TfAPrefs::LoadSettings()
{
    if (holdsAlbumLayout_)
        return;
    TAlbumOptions o = ReadAlbumOptions(TSettingsStore());
    o.CustomCaption = eCustomCaption->text().toStdString();
    SetOptions(o);
}

void TfAPrefs::SaveSettings()
{
    WriteAlbumOptions(TSettingsStore(), Options());
}

void TfAPrefs::showEvent(QShowEvent* event)
{
    LoadSettings();
    QDialog::showEvent(event);
}

void TfAPrefs::done(int result)
{
    SaveSettings();
    QDialog::done(result);
}

bool TfAPrefs::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == eCustomCaption && event->type() == QEvent::FocusIn && rgCaption->ItemIndex() != acCustom) {
        rgCaption->SetItemIndex(acCustom);
        rgCaptionClick(acCustom);
    }
    return QDialog::eventFilter(watched, event);
}

void TfAPrefs::UpdateImagesPerSheet()
{
    txtImagesPerSheet->setText(QString::number(Cols->value() * Rows->value()));
}

void TfAPrefs::UpdateEmbeddedEnabled()
{
    rgEmbeddedPosition->setEnabled(rgCaptionPlacement->ItemIndex() == acpEmbedded);
}

void TfAPrefs::rgCaptionClick(int index)
{
    emit CaptionChoiceClicked(index);
    Border->setValue(BorderAfterCaptionChoice(Border->value(), index, rgCaptionPlacement->ItemIndex()));
}

void TfAPrefs::rgCaptionPlacementClick(int index)
{
    UpdateEmbeddedEnabled();
    Border->setValue(BorderAfterPlacement(Border->value(), rgCaption->ItemIndex(), index));
}

} // namespace lumeno
