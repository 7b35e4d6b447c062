#include "app/viewer/splash_form.h"

#include "app/viewer/app_icon.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace lumeno {

namespace {

constexpr int kClientWidth = 596;
constexpr int kClientHeight = 147;

} // namespace

TfrmSplashForm::TfrmSplashForm(QWidget* Parent)
    : QWidget(Parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::SplashScreen)
{
    setObjectName("frmSplashForm");
    setAttribute(Qt::WA_DeleteOnClose);
    // Closing the main window while the splash shows still ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle("Lumeno by Orvella Software");
    setFixedSize(kClientWidth, kClientHeight);
    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setPixmap(SplashPicture());
    Image1->setGeometry(0, 0, kClientWidth, kClientHeight);
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(2000);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TfrmSplashForm::Timer1Timer);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TfrmSplashForm::showEvent(QShowEvent* Event)
{
    QWidget::showEvent(Event);
    Timer1->start();
}

void TfrmSplashForm::Timer1Timer()
{
    close();
}

QPixmap TfrmSplashForm::SplashPicture()
{
    QPixmap picture(kClientWidth, kClientHeight);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, kClientWidth, kClientHeight);
    sky.setColorAt(0, QColor(18, 32, 74));
    sky.setColorAt(1, QColor(70, 118, 176));
    p.fillRect(picture.rect(), sky);
    p.drawPixmap(24, (kClientHeight - 108) / 2, LumenoLogo(108));
    p.setPen(QColor(255, 255, 255));
    p.setFont(QFont("DejaVu Sans", 40, QFont::Bold));
    p.drawText(QRect(150, 16, 430, 70), Qt::AlignLeft | Qt::AlignVCenter, "Lumeno 7.8");
    p.setFont(QFont("DejaVu Sans", 13));
    p.setPen(QColor(214, 226, 246));
    p.drawText(QRect(152, 86, 430, 24), Qt::AlignLeft | Qt::AlignVCenter, "by Orvella Software");
    p.setFont(QFont("DejaVu Sans", 9));
    p.drawText(QRect(152, 112, 430, 20), Qt::AlignLeft | Qt::AlignVCenter,
               "View, organise and edit your pictures");
    p.setPen(QPen(QColor(230, 236, 250), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    return picture;
}

} // namespace lumeno
