// Help, about box, background colour, page setup and quitting.

#include "app/common/help.h"
#include "app/viewer/about_form.h"
#include "app/viewer/main_window.h"
#include "controls/media/preview_printer.h"
#include "platform/dialogs.h"

#include <QColorDialog>

namespace lumeno {

void TForm1::ShowHelpContext(int Context)
{
    if (!ShowHelp(Context))
        ShowMessage("The help pages could not be opened");
}

void TForm1::Contents1Click()
{
    ShowHelpContext(hcContents);
}

void TForm1::SearchForHelpOn1Click()
{
    ShowHelpContext(hcContents);
}

void TForm1::FeatureOverview1Click()
{
    ShowHelpContext(hcFeatureOverview);
}

void TForm1::HowToUseHelp1Click()
{
    ShowHelpContext(hcHelpOnHelp);
}

void TForm1::AboutLumeno1Click()
{
    fAbout()->exec();
}

void TForm1::SetColor1Click()
{
    const QColor chosen = QColorDialog::getColor(RightMain->palette().color(QPalette::Window), this,
                                                 "Color", QColorDialog::DontUseNativeDialog);
    if (chosen.isValid())
        SetPanelColor(chosen, true);
}

void TForm1::SetPanelColor(const QColor& Color, bool Chosen)
{
    QPalette pal = RightMain->palette();
    pal.setColor(QPalette::Window, Color);
    RightMain->setPalette(pal);
    colorChanged_ = colorChanged_ || Chosen;
}

void TForm1::PageSetup1Click()
{
    PP1->PageSetup();
}

void TForm1::Quit1Click()
{
    close();
}

} // namespace lumeno
