#include "app/viewer/about_form.h"

#include "app/common/window_holder.h"
#include "app/viewer/app_icon.h"
#include "app/viewer/version_info.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace lumeno {

namespace {

constexpr int kMemoStart = 100;
constexpr int kMemoEnd = -580;

QLabel* Label(QWidget* parent, const char* name, const QString& text, const QRect& bounds)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(bounds);
    return label;
}

// The two frames of the animation: a camera whose flash is off, then on.
QPixmap CameraPicture(bool flash)
{
    QPixmap picture(40, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(60, 60, 70));
    p.setPen(QPen(Qt::black, 1));
    p.drawRoundedRect(QRectF(2, 9, 34, 21), 3, 3);
    p.drawRect(QRectF(8, 5, 10, 5));
    p.setBrush(QColor(120, 160, 220));
    p.drawEllipse(QPointF(19, 20), 7, 7);
    p.setBrush(flash ? QColor(255, 250, 170) : QColor(150, 150, 150));
    p.drawRect(QRectF(27, 11, 6, 4));
    if (flash) {
        p.setPen(QPen(QColor(255, 220, 60), 2));
        p.drawLine(QPointF(34, 8), QPointF(39, 3));
        p.drawLine(QPointF(36, 12), QPointF(39, 12));
    }
    return picture;
}

// What the camera takes: a small landscape.
QPixmap PhotoPicture()
{
    QPixmap picture(36, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(150, 200, 250));
    p.drawRect(QRect(2, 4, 31, 24));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 150, 60));
    p.drawPolygon(QPolygon({QPoint(3, 28), QPoint(14, 14), QPoint(22, 22), QPoint(27, 17), QPoint(33, 28)}));
    p.setBrush(QColor(255, 220, 60));
    p.drawEllipse(QPoint(26, 10), 3, 3);
    return picture;
}

} // namespace

TfAbout* fAbout()
{
    return HeldWindow<TfAbout>();
}

TfAbout::~TfAbout() = default;

TfAbout::TfAbout(QWidget* Parent) : QDialog(Parent)
{
    setObjectName("fAbout");
    setWindowTitle("About Lumeno");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(259, 339);
    setModal(true);
    BuildTitle();
    BuildPictures();
    BuildCredits();
    lversion = Label(this, "lversion", QString::fromStdString(VersionLabel(VersionValue("FileVersion"))),
                     QRect(8, 222, 243, 16));
    lversion->setAlignment(Qt::AlignCenter);
    lversion->hide();
    lblcopyright = Label(this, "lblcopyright",
                         QString::fromStdString(CopyrightLabel(VersionValue("LegalCopyright"))),
                         QRect(8, 244, 243, 40));
    lblcopyright->setAlignment(Qt::AlignCenter);
    lblcopyright->setWordWrap(true);
    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setGeometry(92, 298, 75, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(60);
    connect(Timer1, &QTimer::timeout, this, &TfAbout::Timer1Timer);
}

void TfAbout::BuildTitle()
{
    QFont title("Liberation Serif", 22, QFont::Bold);
    Label2 = Label(this, "Label2", "Lumeno", QRect(10, 10, 243, 40));
    Label2->setFont(title);
    Label2->setStyleSheet("color: #808080");
    Label1 = Label(this, "Label1", "Lumeno", QRect(8, 8, 243, 40));
    Label1->setFont(title);
    Label1->setStyleSheet("color: #000080");
    for (QLabel* l : {Label1, Label2})
        l->setAlignment(Qt::AlignCenter);
    Label3 = Label(this, "Label3", "Orvella Software", QRect(8, 54, 243, 18));
    Label4 = Label(this, "Label4", "proudly presents", QRect(8, 72, 243, 18));
    for (QLabel* l : {Label3, Label4})
        l->setAlignment(Qt::AlignCenter);
}

void TfAbout::BuildPictures()
{
    Image1 = Label(this, "Image1", "", QRect(18, 100, 48, 48));
    Image1->setPixmap(LumenoLogo(48));
    Movie0 = Label(this, "Movie0", "", QRect(4, 168, 36, 32));
    Movie0->setPixmap(PhotoPicture());
    Movie1 = Label(this, "Movie1", "", QRect(42, 168, 40, 32));
    Movie1->setPixmap(CameraPicture(true));
    Movie2 = Label(this, "Movie2", "", QRect(42, 168, 40, 32));
    Movie2->setPixmap(CameraPicture(false));
}

void TfAbout::BuildCredits()
{
    ScrollBox1 = new QFrame(this);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setGeometry(84, 100, 161, 110);
    ScrollBox1->setAutoFillBackground(true);
    ScrollBox1->setStyleSheet("QFrame#ScrollBox1 { background: black; }");
    const QString credits = QStringList{
        "<<< " + QApplication::applicationDisplayName() + " >>>", "", "Design", "Orvella Software", "",
        "Programming", "The Lumeno team", "", "Image library", "Orvella Imaging", "", "Folder tree",
        "and status bar", "Orvella Controls", "", "Pictures", "Orvella Studio", "", "Thanks to",
        "everyone who sent", "pictures, ideas", "and bug reports", "", "Lumeno 7.8"}
                                .join('\n');
    Memo1 = new QLabel(credits, ScrollBox1);
    Memo1->setObjectName("Memo1");
    Memo1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Memo1->setStyleSheet("background: black; color: #ffd040;");
    Memo1->setGeometry(0, kMemoStart, 161, 900);
}

void TfAbout::showEvent(QShowEvent* Event)
{
    Memo1->move(0, kMemoStart);
    Movie1->show();
    Movie2->hide();
    Timer1->start();
    QDialog::showEvent(Event);
}

void TfAbout::hideEvent(QHideEvent* Event)
{
    Timer1->stop();
    QDialog::hideEvent(Event);
}

void TfAbout::Timer1Timer()
{
    const bool first = Movie1->isVisibleTo(this);
    Movie1->setVisible(!first);
    Movie2->setVisible(first);
    int top = Memo1->y() - 2;
    if (top < kMemoEnd)
        top = kMemoStart;
    Memo1->move(0, top);
}

void TfAbout::keyPressEvent(QKeyEvent* Event)
{
    lversion->setVisible(Event->key() == Qt::Key_Q && (Event->modifiers() & Qt::ControlModifier));
    QDialog::keyPressEvent(Event);
}

void TfAbout::keyReleaseEvent(QKeyEvent* Event)
{
    lversion->hide();
    QDialog::keyReleaseEvent(Event);
}

} // namespace lumeno
