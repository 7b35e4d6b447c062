#include "app/thumbs/file_prop_form.h"

#include "app/common/window_holder.h"
#include "app/thumbs/file_properties.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/view/pg_image.h"
#include "platform/qt/asking_window.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace lumeno {

namespace {

constexpr int kWidth = 420;
constexpr int kHeight = 330;

QLabel* Caption(const char* text, QWidget* parent)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setStyleSheet("color: #FFFF80; font-weight: bold;");
    return label;
}

QLabel* Value(const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setStyleSheet("color: white;");
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

TfrmFileProp* frmFileProp() { return HeldWindow<TfrmFileProp>(); }

void ShowImageProperties(const std::string& Path)
{
    // Hidden first, so showing it again reads the new file.
    frmFileProp()->hide();
    frmFileProp()->FileName = Path;
    OpenOver(frmFileProp(), TAskingWindow::Current());
}

TfrmFileProp::TfrmFileProp(QWidget* Parent)
    : QDialog(Parent), PGImage2(new TPGImage(this)), Label1(Value("Label1", this)), Label2(Value("Label2", this)),
      Label3(Value("Label3", this)), Label4(Value("Label4", this)), Label5(Value("Label5", this)),
      Label6(Value("Label6", this)), Label7(Value("Label7", this)), Label8(Value("Label8", this)),
      Label19(Value("Label19", this)), Label17(Value("Label17", this)), Label22(Value("Label22", this)),
      OKBtn(new QPushButton("OK", this))
{
    setObjectName("frmFileProp");
    setWindowTitle("Image Properties");
    setFixedSize(kWidth, kHeight);
    TPixelGraphic gradient;
    PaintPropertiesGradient(gradient, kWidth, kHeight);
    gradient.AssignToGraphic(background_);

    PGImage2->setObjectName("PGImage2");
    PGImage2->SetStretch(sAlwaysKAR);
    PGImage2->SetUseThread(false);
    PGImage2->SetCenter(true);
    PGImage2->SetBackGroundColor(0);
    PGImage2->SetReadWarningAction(pgwaIgnore);
    PGImage2->setFixedSize(128, 128);
    Label17->setWordWrap(true);
    OKBtn->setObjectName("OKBtn");
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(12, 12, 12, 12);
    const std::pair<const char*, QLabel*> rows[] = {
        {"FileName", Label17}, {"File Date", Label1}, {"File Size", Label22}, {"Type", Label2},
        {"SubType", Label3},   {"Options", Label4},   {"Width", Label5},      {"Height", Label6},
        {"Colors", Label7},    {"BitsPerPixel", Label8}, {"GraphicCount", Label19}};
    int row = 0;
    for (const auto& [caption, value] : rows) {
        grid->addWidget(Caption(caption, this), row, 0, row == 0 ? Qt::AlignTop : Qt::AlignVCenter);
        grid->addWidget(value, row, 1, 1, row == 0 ? 2 : 1);
        ++row;
    }
    grid->addWidget(PGImage2, 1, 2, 8, 1, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(OKBtn, row, 2, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
}

void TfrmFileProp::showEvent(QShowEvent* Event)
{
    FormShow();
    QDialog::showEvent(Event);
}

void TfrmFileProp::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(rect(), background_);
}

void TfrmFileProp::FormShow()
{
    const TFileProperties props = ReadFileProperties(FileName);
    Label17->setText(QString::fromStdString(props.FileName));
    Label1->setText(QString::fromStdString(props.Date));
    Label22->setText(QString::fromStdString(props.FileSize));
    PGImage2->SetPixelGraphic(nullptr);
    PGImage2->setVisible(props.Preview);
    if (props.Preview) {
        try {
            PGImage2->SetFileName(FileName);
        } catch (const std::exception&) {
            PGImage2->hide();
        }
    }
    const std::pair<QLabel*, const std::string*> values[] = {
        {Label2, &props.Type},   {Label3, &props.SubType}, {Label4, &props.Options},      {Label5, &props.Width},
        {Label6, &props.Height}, {Label7, &props.Colors},  {Label8, &props.BitsPerPixel}, {Label19, &props.GraphicCount}};
    for (const auto& [label, text] : values)
        label->setText(QString::fromStdString(*text));
}

} // namespace lumeno
