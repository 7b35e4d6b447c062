#include "app/editor/frm_barrel.h"

#include "app/common/help.h"
#include "app/common/settings_store.h"
#include "app/editor/dialog_parts.h"
#include "app/editor/edit_ops.h"
#include "app/editor/editor_host.h"
#include "app/editor/list_drop.h"
#include "controls/shell/dfs_gauge_attrs.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/dfs_status_panel.h"
#include "controls/shell/dfs_status_panels.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/view/pg_image.h"
#include "platform/dialogs.h"
#include "platform/qt/wait_cursor.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumeno {

const char* const RadialNotAppliedMessage =
    "You did not Apply a radial adjustment. Reopen and click \"Apply\" before clicking \"OK\"";

namespace {

const char* const RadialNames[4] = {"RAOuter", "RAMiddle", "RAInner", "RAScaling"};
const char* const RadialDefaults[4] = {"-0.02", "0", "0", "1"};

TPGImage* PreviewView(QWidget* Parent, const char* Name, const QString& Title, QLayout* Layout)
{
    auto* box = new QGroupBox(Title, Parent);
    auto* boxLayout = new QVBoxLayout(box);
    auto* view = new TPGImage(box);
    view->setObjectName(Name);
    view->SetStretch(sAlwaysKAR);
    view->setMinimumSize(220, 180);
    boxLayout->addWidget(view);
    Layout->addWidget(box);
    return view;
}

} // namespace

TfrmBarrel::TfrmBarrel(QWidget* Parent) : QDialog(Parent)
{
    setObjectName("frmBarrel");
    setWindowTitle(tr("Radial Adjustment (Barrel Distortion)"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* form = new QFormLayout;
    QLineEdit** edits[4] = {&eA, &eB, &eC, &eD};
    const QString captions[4] = {tr("Outer"), tr("Middle"), tr("Inner"), tr("Scaling")};
    const char* names[4] = {"eA", "eB", "eC", "eD"};
    const TSettingsStore store;
    for (int i = 0; i < 4; ++i) {
        *edits[i] =
            new QLineEdit(QString::fromStdString(store.ReadSetting(RadialNames[i], RadialDefaults[i])), this);
        (*edits[i])->setObjectName(names[i]);
        form->addRow(captions[i], *edits[i]);
    }
    top->addLayout(form);
    auto* right = new QFormLayout;
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->addItems({tr("Original Size"), tr("Shrink to fit")});
    right->addRow(tr("View"), ComboBox1);
    btnSmBarrel = new QPushButton(tr("Apply"), this);
    btnSmBarrel->setObjectName("btnSmBarrel");
    right->addRow(btnSmBarrel);
    top->addLayout(right);
    layout->addLayout(top);
    auto* views = new QHBoxLayout;
    PGImage1 = PreviewView(this, "PGImage1", tr("Original"), views);
    PGImage2 = PreviewView(this, "PGImage2", tr("Adjusted"), views);
    layout->addLayout(views, 1);
    SB1 = new TdfsStatusBar(this);
    SB1->setObjectName("SB1");
    SB1->Panels().Add().SetWidth(200);
    TdfsStatusPanel& gauge = SB1->Panels().Add();
    gauge.SetWidth(50);
    gauge.SetPanelType(sptGauge);
    layout->addWidget(SB1);
    auto* help = new QPushButton(tr("Help"), this);
    help->setObjectName("btnHelp");
    connect(help, &QPushButton::clicked, this, [] { EditorHost().ShowHelp(hcRadialAdjustment); });
    AddOkCancel(this, layout);
    layout->itemAt(layout->count() - 1)->layout()->addWidget(help);

    connect(btnSmBarrel, &QPushButton::clicked, this, &TfrmBarrel::btnSmBarrelClick);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TfrmBarrel::ComboBox1Change);
    ComboBox1->setCurrentIndex(1);
    PGImage1->viewport()->setAcceptDrops(true);
    PGImage1->viewport()->installEventFilter(this);
}

TfrmBarrel::~TfrmBarrel()
{
    WriteSettingsOnClose([this] {
        const TSettingsStore store;
        const QLineEdit* edits[4] = {eA, eB, eC, eD};
        for (int i = 0; i < 4; ++i)
            store.WriteSetting(RadialNames[i], edits[i]->text().toStdString());
    });
}

std::optional<TRadialCoefficients> TfrmBarrel::Coefficients() const
{
    const auto a = ParseDecimal(eA->text().toStdString()), b = ParseDecimal(eB->text().toStdString()),
               c = ParseDecimal(eC->text().toStdString()), d = ParseDecimal(eD->text().toStdString());
    if (!a || !b || !c || !d)
        return std::nullopt;
    return TRadialCoefficients{*a, *b, *c, *d};
}

void TfrmBarrel::btnSmBarrelClick()
{
    const auto k = Coefficients();
    if (!k) {
        ShowMessage("Invalid values entered!");
        return;
    }
    TPixelGraphic* source = PGImage1->GetPixelGraphic();
    if (!source)
        return;
    const TWaitCursor wait;
    auto result = std::make_unique<TPixelGraphic>();
    TdfsGaugeAttrs& gauge = SB1->Panels()[1].GaugeAttrs();
    RadialAdjust(*source, *result, *k, [&](int percent) { gauge.SetPosition(percent); });
    PGImage2->SetPixelGraphic(std::move(result));
    gauge.SetPosition(0);
}

void TfrmBarrel::ComboBox1Change(int Index)
{
    const TStretch stretch = Index == 0 ? sNeverKAR : sAlwaysKAR;
    PGImage1->SetStretch(stretch);
    PGImage2->SetStretch(stretch);
}

bool TfrmBarrel::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == PGImage1->viewport() && HandleListDrop(Event, [this](const std::string& path) {
            auto image = std::make_unique<TPixelGraphic>();
            image->LoadFromFile(path);
            PGImage1->SetPixelGraphic(std::move(image));
        }))
        return true;
    return QDialog::eventFilter(Watched, Event);
}

} // namespace lumeno
