#include "app/thumbs/glimpset_form.h"

#include "imagelib/view/pg_image.h"
#include "platform/qt/application.h"
#include "platform/qt/window_placement.h"

#include <QFileInfo>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace lumeno {

QSize GlimpsetClientSize(QSize Picture, QSize ViewSize, QSize Available)
{
    QSize client = (Picture.width() < Available.width() && Picture.height() < Available.height()) ? Picture : ViewSize;
    client += QSize(kGlimpsetBorder, kGlimpsetBorder);
    return client.boundedTo(Available);
}

TfrmGlimpset::TfrmGlimpset(QWidget* Parent) : QWidget(Parent, Qt::Window), PGImage1(new TPGImage(this))
{
    setObjectName("frmGlimpset");
    setAttribute(Qt::WA_DeleteOnClose);
    PGImage1->setObjectName("PGImage1");
    PGImage1->SetUseThread(false);
    PGImage1->SetReadWarningAction(pgwaIgnore);
    PGImage1->SetCenter(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PGImage1);
}

void TfrmGlimpset::LoadFile(const std::string& Path)
{
    setWindowTitle(QFileInfo(QString::fromStdString(Path)).fileName());
    PGImage1->SetFileName(Path);
    FitToPicture();
}

void TfrmGlimpset::FitToPicture()
{
    QScreen* screen = this->screen();
    const QSize available = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    const QSize picture(PGImage1->GetPixelGraphicWidth(), PGImage1->GetPixelGraphicHeight());
    resize(GlimpsetClientSize(picture, kGlimpsetViewSize, available.shrunkBy(FrameMargins(*this))));
}

TfrmGlimpset* NewGlimpset(const std::string& Path, QWidget* Caller)
{
    auto* window = new TfrmGlimpset(Caller ? Caller->window() : nullptr);
    if (Caller && Caller->screen())
        window->setScreen(Caller->screen());
    try {
        window->LoadFile(Path);
    } catch (const std::exception& e) {
        delete window;
        TApplication::ShowException(e);
        return nullptr;
    }
    return window;
}

void ShowGlimpsetWindow(TfrmGlimpset& Window, bool Modal)
{
    Window.setWindowModality(Modal ? Qt::ApplicationModal : Qt::NonModal);
    ShowBeside(Window, Window.parentWidget());
}

TfrmGlimpset* ShowGlimpset(const std::string& Path, QWidget* Caller, bool Modal)
{
    TfrmGlimpset* window = NewGlimpset(Path, Caller);
    if (window)
        ShowGlimpsetWindow(*window, Modal);
    return window;
}

} // namespace lumeno
