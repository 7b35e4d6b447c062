#include "controls/media/page_setup_form.h"

#include "controls/media/font_dialog.h"
#include "controls/media/form_settings.h"
#include "controls/media/preview_printer.h"
#include "platform/dialogs.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStyle>

#include <cmath>

namespace lumeno {

struct TPageSetupForm::TNumbers {
    std::optional<double> MarginLeft, MarginTop, MarginRight, MarginBottom, HeaderMargin, FooterMargin;
};

namespace {

template <typename T> T* Make(QWidget* parent, const char* name)
{
    auto* w = new T(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QRadioButton* MakeRadio(QWidget* parent, const char* name, const QString& text, QButtonGroup* group, int tag)
{
    auto* radio = Make<QRadioButton>(parent, name);
    radio->setText(text);
    group->addButton(radio, tag);
    return radio;
}

QString FormatNumber(double value)
{
    return QLocale().toString(value, 'f', 3);
}

std::optional<double> ParseNumber(const QLineEdit& edit)
{
    bool ok = false;
    const double value = QLocale().toDouble(edit.text().trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString FontText(const QFont& font)
{
    return QStringLiteral("%1 %2 pt").arg(font.family()).arg(font.pointSize());
}

void Check(QButtonGroup* group, int tag)
{
    if (QAbstractButton* button = group->button(tag))
        button->setChecked(true);
}

QLabel* Heading(QWidget* parent, const QString& text)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

// A row inside the grid: the grid's differing spacings leave a nested
// layout without any, so it takes the style's own.
QHBoxLayout* NestedRow(const QWidget& owner)
{
    auto* row = new QHBoxLayout;
    const int spacing = owner.style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing);
    row->setSpacing(spacing >= 0 ? spacing : 6);
    return row;
}

QHBoxLayout* Row(std::initializer_list<QWidget*> widgets)
{
    QHBoxLayout* row = NestedRow(**widgets.begin());
    for (QWidget* w : widgets)
        row->addWidget(w);
    row->addStretch(1);
    return row;
}

} // namespace

TPageSetupForm::TPageSetupForm(TPreviewPrinter& printer, QWidget* parent) : QDialog(parent), printer_(printer)
{
    setObjectName(QStringLiteral("PageSetupForm"));
    setWindowTitle(tr("Page Setup"));
    CreateControls();
    ArrangeControls();
    Connect();
    FormSettings1 = new TFormSettings(this);
    FormSettings1->SavePosition = true;
    FormSettings1->LoadValues = true;
    FormSettings1->SaveValues = false;
    FormSettings1->Load();
}

void TPageSetupForm::CreateControls()
{
    unitGroup_ = new QButtonGroup(this);
    orientationGroup_ = new QButtonGroup(this);
    pageNumGroup_ = new QButtonGroup(this);
    pageNumAlignGroup_ = new QButtonGroup(this);
    headerAlignGroup_ = new QButtonGroup(this);
    footerAlignGroup_ = new QButtonGroup(this);
    InchesBut = MakeRadio(this, "InchesBut", tr("&Inches"), unitGroup_, int(TUnits::unInches));
    CentimetersBut =
        MakeRadio(this, "CentimetersBut", tr("C&entimeters"), unitGroup_, int(TUnits::unCentimeters));
    PortBut =
        MakeRadio(this, "PortBut", tr("&Portrait"), orientationGroup_, int(TPrinterOrientation::poPortrait));
    LandBut = MakeRadio(this, "LandBut", tr("&Landscape"), orientationGroup_,
                        int(TPrinterOrientation::poLandscape));
    PortShape = Make<QFrame>(this, "PortShape");
    PortShape->setFixedSize(34, 44);
    LandShape = Make<QFrame>(this, "LandShape");
    LandShape->setFixedSize(44, 34);
    for (QFrame* shape : {PortShape, LandShape}) {
        shape->setFrameShape(QFrame::Box);
        shape->setAutoFillBackground(true);
        shape->setBackgroundRole(QPalette::Base);
    }
    LeftMarginEdit = Make<QLineEdit>(this, "LeftMarginEdit");
    TopMarginEdit = Make<QLineEdit>(this, "TopMarginEdit");
    RightMarginEdit = Make<QLineEdit>(this, "RightMarginEdit");
    BottomMarginEdit = Make<QLineEdit>(this, "BottomMarginEdit");
    PNBottomBut =
        MakeRadio(this, "PNBottomBut", tr("Bottom"), pageNumGroup_, int(TPrintPageNumber::pnBottom));
    PNTopBut = MakeRadio(this, "PNTopBut", tr("Top"), pageNumGroup_, int(TPrintPageNumber::pnTop));
    PNNoneBut = MakeRadio(this, "PNNoneBut", tr("None"), pageNumGroup_, int(TPrintPageNumber::pnNone));
    const auto alignRadios = [this](const char* left, const char* centre, const char* right,
                                    QButtonGroup* group, QRadioButton*& l, QRadioButton*& c,
                                    QRadioButton*& r) {
        l = MakeRadio(this, left, tr("Left"), group, int(TAlignment::taLeftJustify));
        c = MakeRadio(this, centre, tr("Center"), group, int(TAlignment::taCenter));
        r = MakeRadio(this, right, tr("Right"), group, int(TAlignment::taRightJustify));
    };
    alignRadios("PNLeftBut", "PNCenterBut", "PNRightBut", pageNumAlignGroup_, PNLeftBut, PNCenterBut,
                PNRightBut);
    alignRadios("HdrLeftBut", "HdrCenterBut", "HdrRightBut", headerAlignGroup_, HdrLeftBut, HdrCenterBut,
                HdrRightBut);
    alignRadios("FtrLeftBut", "FtrCenterBut", "FtrRightBut", footerAlignGroup_, FtrLeftBut, FtrCenterBut,
                FtrRightBut);
    PageNumTextEdit = Make<QLineEdit>(this, "PageNumTextEdit");
    HeaderEdit = Make<QLineEdit>(this, "HeaderEdit");
    HdrMarginEdit = Make<QLineEdit>(this, "HdrMarginEdit");
    FooterEdit = Make<QLineEdit>(this, "FooterEdit");
    FtrMarginEdit = Make<QLineEdit>(this, "FtrMarginEdit");
    PageNumFontLabel = Make<QLabel>(this, "PageNumFontLabel");
    HdrFontLabel = Make<QLabel>(this, "HdrFontLabel");
    FtrFontLabel = Make<QLabel>(this, "FtrFontLabel");
    PageNumFontBut = new QPushButton(tr("Font..."), this);
    PageNumFontBut->setObjectName(QStringLiteral("PageNumFontBut"));
    HdrFontBut = new QPushButton(tr("Font..."), this);
    HdrFontBut->setObjectName(QStringLiteral("HdrFontBut"));
    FtrFontBut = new QPushButton(tr("Font..."), this);
    FtrFontBut->setObjectName(QStringLiteral("FtrFontBut"));
    PageNumFontDialog = Make<TFontDialog>(this, "PageNumFontDialog");
    HdrFontDialog = Make<TFontDialog>(this, "HdrFontDialog");
    FtrFontDialog = Make<TFontDialog>(this, "FtrFontDialog");
    PrinterSetupBut = new QPushButton(tr("P&rinter Setup..."), this);
    PrinterSetupBut->setObjectName(QStringLiteral("PrinterSetupBut"));
    SetDefaultBut = new QPushButton(tr("&Set as Default"), this);
    SetDefaultBut->setObjectName(QStringLiteral("SetDefaultBut"));
    OKBut = new QPushButton(tr("OK"), this);
    OKBut->setObjectName(QStringLiteral("OKBut"));
    OKBut->setDefault(true);
    CancelBut = new QPushButton(tr("Cancel"), this);
    CancelBut->setObjectName(QStringLiteral("CancelBut"));
}

void TPageSetupForm::ArrangeControls()
{
    // Every control stays a direct child of the window, where the form
    // settings look for the values.
    auto* grid = new QGridLayout(this);
    int row = 0;
    grid->addWidget(Heading(this, tr("Units")), row++, 0, 1, 2);
    grid->addLayout(Row({InchesBut, CentimetersBut}), row++, 0, 1, 2);
    grid->addWidget(Heading(this, tr("Orientation")), row++, 0, 1, 2);
    grid->addLayout(Row({PortBut, LandBut, PortShape, LandShape}), row++, 0, 1, 2);
    grid->addWidget(Heading(this, tr("Margins")), row++, 0, 1, 2);
    const std::pair<QString, QLineEdit*> margins[] = {{tr("Left"), LeftMarginEdit},
                                                      {tr("Top"), TopMarginEdit},
                                                      {tr("Right"), RightMarginEdit},
                                                      {tr("Bottom"), BottomMarginEdit}};
    for (const auto& [text, edit] : margins) {
        grid->addWidget(new QLabel(text, this), row, 0);
        grid->addWidget(edit, row++, 1);
    }
    grid->setRowStretch(row, 1);

    row = 0;
    grid->addWidget(Heading(this, tr("Page Number")), row++, 2, 1, 2);
    grid->addLayout(Row({PNBottomBut, PNTopBut, PNNoneBut}), row++, 2, 1, 2);
    grid->addLayout(Row({PNLeftBut, PNCenterBut, PNRightBut}), row++, 2, 1, 2);
    grid->addWidget(new QLabel(tr("Text"), this), row, 2);
    grid->addWidget(PageNumTextEdit, row++, 3);
    grid->addLayout(Row({PageNumFontLabel, PageNumFontBut}), row++, 2, 1, 2);
    const auto textBlock = [&](const QString& title, QLineEdit* text, QLineEdit* margin, QRadioButton* l,
                               QRadioButton* c, QRadioButton* r, QLabel* font, QPushButton* button) {
        grid->addWidget(Heading(this, title), row++, 2, 1, 2);
        grid->addWidget(new QLabel(tr("Text"), this), row, 2);
        grid->addWidget(text, row++, 3);
        grid->addWidget(new QLabel(tr("Margin"), this), row, 2);
        grid->addWidget(margin, row++, 3);
        grid->addLayout(Row({l, c, r}), row++, 2, 1, 2);
        grid->addLayout(Row({font, button}), row++, 2, 1, 2);
    };
    textBlock(tr("Header"), HeaderEdit, HdrMarginEdit, HdrLeftBut, HdrCenterBut, HdrRightBut, HdrFontLabel,
              HdrFontBut);
    textBlock(tr("Footer"), FooterEdit, FtrMarginEdit, FtrLeftBut, FtrCenterBut, FtrRightBut, FtrFontLabel,
              FtrFontBut);
    QHBoxLayout* buttons = NestedRow(*this);
    buttons->addWidget(PrinterSetupBut);
    buttons->addWidget(SetDefaultBut);
    buttons->addStretch(1);
    buttons->addWidget(OKBut);
    buttons->addWidget(CancelBut);
    grid->addLayout(buttons, row, 0, 1, 4);
    grid->setColumnMinimumWidth(1, 120);
    grid->setHorizontalSpacing(12);
}

void TPageSetupForm::Connect()
{
    connect(PortBut, &QRadioButton::toggled, this, [this] { ShowOrientation(); });
    connect(PageNumFontBut, &QPushButton::clicked, this,
            [this] { RunFontDialog(PageNumFontDialog, PageNumFontLabel); });
    connect(HdrFontBut, &QPushButton::clicked, this, [this] { RunFontDialog(HdrFontDialog, HdrFontLabel); });
    connect(FtrFontBut, &QPushButton::clicked, this, [this] { RunFontDialog(FtrFontDialog, FtrFontLabel); });
    connect(PrinterSetupBut, &QPushButton::clicked, this, [this] {
        auto* dialog = new QPageSetupDialog(&printer_.Printer(), this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    });
    connect(SetDefaultBut, &QPushButton::clicked, this, [this] { SetDefaultButClick(); });
    connect(OKBut, &QPushButton::clicked, this, [this] {
        if (TakeBack())
            accept();
    });
    connect(CancelBut, &QPushButton::clicked, this, &QDialog::reject);
}

void TPageSetupForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        Fill();
}

void TPageSetupForm::ShowOrientation()
{
    PortShape->setVisible(PortBut->isChecked());
    LandShape->setVisible(!PortBut->isChecked());
}

void TPageSetupForm::Fill()
{
    const TTextOptions& t = printer_.TextOptions();
    Check(unitGroup_, int(printer_.Units()));
    LeftMarginEdit->setText(FormatNumber(t.MarginLeft));
    TopMarginEdit->setText(FormatNumber(t.MarginTop));
    RightMarginEdit->setText(FormatNumber(t.MarginRight));
    BottomMarginEdit->setText(FormatNumber(t.MarginBottom));
    Check(orientationGroup_, int(printer_.Orientation));
    ShowOrientation();
    Check(pageNumGroup_, int(t.PrintPageNumber));
    Check(pageNumAlignGroup_, int(t.PageNumAlign));
    PageNumTextEdit->setText(QString::fromStdString(t.PageNumText));
    HeaderEdit->setText(QString::fromStdString(t.Header));
    HdrMarginEdit->setText(FormatNumber(t.HeaderMargin));
    Check(headerAlignGroup_, int(t.HeaderAlign));
    FooterEdit->setText(QString::fromStdString(t.Footer));
    FtrMarginEdit->setText(FormatNumber(t.FooterMargin));
    Check(footerAlignGroup_, int(t.FooterAlign));
    const std::pair<TFontDialog*, std::pair<QLabel*, const QFont*>> fonts[] = {
        {PageNumFontDialog, {PageNumFontLabel, &t.PageNumFont}},
        {HdrFontDialog, {HdrFontLabel, &t.HeaderFont}},
        {FtrFontDialog, {FtrFontLabel, &t.FooterFont}}};
    for (const auto& [dialog, target] : fonts) {
        dialog->SetFont(*target.second);
        target.first->setText(FontText(*target.second));
    }
}

std::optional<TPageSetupForm::TNumbers> TPageSetupForm::ParseNumbers(bool tellUser)
{
    TNumbers numbers;
    const std::pair<QLineEdit*, std::optional<double>*> fields[] = {
        {LeftMarginEdit, &numbers.MarginLeft},   {TopMarginEdit, &numbers.MarginTop},
        {RightMarginEdit, &numbers.MarginRight}, {BottomMarginEdit, &numbers.MarginBottom},
        {HdrMarginEdit, &numbers.HeaderMargin},  {FtrMarginEdit, &numbers.FooterMargin}};
    for (const auto& [edit, value] : fields) {
        *value = ParseNumber(*edit);
        if (!*value && tellUser) {
            MessageDlg("'" + edit->text().toStdString() + "' is not a valid floating point value",
                       TMsgDlgType::mtError, mbOK);
            edit->setFocus();
            edit->selectAll();
            return std::nullopt;
        }
    }
    return numbers;
}

void TPageSetupForm::Take(const TNumbers& numbers)
{
    TTextOptions& t = printer_.TextOptions();
    const auto takeNumber = [](double& target, const std::optional<double>& value) {
        if (value)
            target = *value;
    };
    printer_.SetUnits(TUnits(unitGroup_->checkedId() >= 0 ? unitGroup_->checkedId() : int(printer_.Units())));
    takeNumber(t.MarginLeft, numbers.MarginLeft);
    takeNumber(t.MarginTop, numbers.MarginTop);
    takeNumber(t.MarginRight, numbers.MarginRight);
    takeNumber(t.MarginBottom, numbers.MarginBottom);
    if (orientationGroup_->checkedId() >= 0)
        printer_.Orientation = TPrinterOrientation(orientationGroup_->checkedId());
    if (pageNumGroup_->checkedId() >= 0)
        t.PrintPageNumber = TPrintPageNumber(pageNumGroup_->checkedId());
    if (pageNumAlignGroup_->checkedId() >= 0)
        t.PageNumAlign = TAlignment(pageNumAlignGroup_->checkedId());
    t.PageNumText = PageNumTextEdit->text().toStdString();
    t.PageNumFont = PageNumFontDialog->Font();
    t.Header = HeaderEdit->text().toStdString();
    takeNumber(t.HeaderMargin, numbers.HeaderMargin);
    if (headerAlignGroup_->checkedId() >= 0)
        t.HeaderAlign = TAlignment(headerAlignGroup_->checkedId());
    t.HeaderFont = HdrFontDialog->Font();
    t.Footer = FooterEdit->text().toStdString();
    takeNumber(t.FooterMargin, numbers.FooterMargin);
    if (footerAlignGroup_->checkedId() >= 0)
        t.FooterAlign = TAlignment(footerAlignGroup_->checkedId());
    t.FooterFont = FtrFontDialog->Font();
}

bool TPageSetupForm::TakeBack()
{
    const std::optional<TNumbers> numbers = ParseNumbers(true);
    if (!numbers)
        return false;
    Take(*numbers);
    return true;
}

void TPageSetupForm::ReadDefaults(TPreviewPrinter& printer)
{
    TPageSetupForm form(printer);
    form.Fill();
    form.FormSettings1->Load();
    form.Take(*form.ParseNumbers(false));
}

void TPageSetupForm::RunFontDialog(TFontDialog* dialog, QLabel* label)
{
    disconnect(dialog, &QFontDialog::accepted, this, nullptr);
    connect(dialog, &QFontDialog::accepted, this,
            [dialog, label] { label->setText(FontText(dialog->Font())); });
    dialog->Execute();
}

void TPageSetupForm::SetDefaultButClick()
{
    // Stored defaults are read at every start: only numbers that parse go in.
    if (!ParseNumbers(true))
        return;
    if (MessageDlg("Are you sure you want to save these values as the Default Settings?",
                   TMsgDlgType::mtConfirmation, mbYesNoCancel) != mrYes)
        return;
    FormSettings1->SaveValues = true;
    FormSettings1->Save();
    FormSettings1->SaveValues = false;
}

} // namespace lumeno
