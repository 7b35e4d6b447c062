// Menus, popup menus, toolbar and keys of the main window, built from the
// command table.

#include "app/viewer/command_table.h"
#include "app/viewer/main_window.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QStyle>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

namespace lumeno {

namespace {

QStyle::StandardPixmap ButtonIcon(const QString& name)
{
    static const std::pair<const char*, QStyle::StandardPixmap> icons[] = {
        {"PreviousImageButton", QStyle::SP_ArrowLeft},
        {"NextImageButton", QStyle::SP_ArrowRight},
        {"LumenoBtn", QStyle::SP_MediaPlay},
        {"MoveButton", QStyle::SP_FileDialogToParent},
        {"tbAcquire", QStyle::SP_DesktopIcon},
        {"tbPhotoAlbum", QStyle::SP_DirOpenIcon},
        {"ToolButton1", QStyle::SP_BrowserReload},
        {"SearchButton", QStyle::SP_FileDialogContentsView},
        {"tbGlimpset", QStyle::SP_FileDialogListView},
        {"ToolButton5", QStyle::SP_FileDialogDetailedView},
        {"SetColor", QStyle::SP_DialogResetButton},
        {"AutoZoom", QStyle::SP_TitleBarMaxButton},
    };
    for (const auto& [button, icon] : icons)
        if (name == button)
            return icon;
    return QStyle::SP_FileIcon;
}

// A widget that takes a typed '+' or '-' as text: an edit, a spin box, or an
// item editor (which lives on its view's viewport).
bool EditsText(const QWidget* Widget)
{
    if (qobject_cast<const QLineEdit*>(Widget) || qobject_cast<const QAbstractSpinBox*>(Widget) ||
        qobject_cast<const QTextEdit*>(Widget) || qobject_cast<const QPlainTextEdit*>(Widget))
        return true;
    for (const QWidget* child = Widget; child && child->parentWidget(); child = child->parentWidget()) {
        const auto* view = qobject_cast<const QAbstractItemView*>(child->parentWidget()->parentWidget());
        if (view && child->parentWidget() == view->viewport())
            return true;
    }
    return false;
}

} // namespace

void TForm1::BuildCommands()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName("PopupMenu2");
    connect(PopupMenu1, &QMenu::aboutToShow, this, &TForm1::PopupMenu1Popup);

    menuBar()->setObjectName("MainMenu1");
    std::map<QString, QMenu*> menus = {{"Popup1", PopupMenu1}, {"Popup2", PopupMenu2}};
    // A menu path's menu, made on first use: "File/Edit File" lies in "File".
    auto menuFor = [&](const QString& place) -> QMenu* {
        if (auto it = menus.find(place); it != menus.end())
            return it->second;
        const int slash = place.lastIndexOf('/');
        QMenu* menu = slash < 0 ? menuBar()->addMenu("&" + place)
                                : menus.at(place.left(slash))->addMenu(place.mid(slash + 1));
        menu->setObjectName(QString(place).remove(' ').remove('.').replace('/', '_'));
        menus[place] = menu;
        return menu;
    };

    for (const TCommand& row : CommandTable()) {
        const QString place = row.Place;
        if (place == "Toolbar")
            continue;
        QMenu* menu = menuFor(place);
        if (QString(row.Name) == "-") {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(row.Caption);
        action->setObjectName(row.Name);
        if (*row.Shortcut) {
            action->setShortcut(QKeySequence(row.Shortcut));
            action->setShortcutContext(Qt::WindowShortcut);
            addAction(action);
        }
        action->setCheckable(row.Flags & cfCheckable);
        action->setVisible(!(row.Flags & cfHidden));
        Connect(action, row);
    }
    Bookmarks1 = menus.at("Bookmarks");
    Bookmarks1->setObjectName("Bookmarks1");
    // The keypad keys are looked at before the focused control, which would
    // take them as typed text.
    qApp->installEventFilter(this);
}

void TForm1::Connect(QAction* Action, const TCommand& Row)
{
    Action->setEnabled(Row.Handler != nullptr);
    if (Row.Handler) {
        connect(Action, &QAction::triggered, this, [this, h = Row.Handler] { (this->*h)(); });
        ready_.insert(Row.Name);
    }
    commands_[Row.Name] = Action;
}

void TForm1::EnableCommand(const char* Name, bool Enabled)
{
    if (QAction* action = Command(Name))
        action->setEnabled(Enabled && ready_.count(Name));
}

void TForm1::BuildToolBar()
{
    ToolBar1 = addToolBar("ToolBar1");
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    bool intervalPlaced = false;
    for (const TCommand& row : CommandTable()) {
        if (QString(row.Place) != "Toolbar")
            continue;
        if (QString(row.Name) == "-") {
            ToolBar1->addSeparator();
            if (intervalPlaced)
                continue;
            intervalPlaced = true;
            UpDown1 = new QSpinBox(ToolBar1);
            UpDown1->setObjectName("UpDown1");
            UpDown1->setRange(1, 60);
            UpDown1->setValue(4);
            UpDown1->setWrapping(false);
            UpDown1->setFixedWidth(44);
            Seconds = UpDown1->findChild<QLineEdit*>();
            Seconds->setObjectName("Seconds");
            Seconds->setReadOnly(true);
            connect(UpDown1, &QSpinBox::valueChanged, this, &TForm1::UpDown1Click);
            ToolBar1->addWidget(UpDown1);
            continue;
        }
        auto* action = new QAction(style()->standardIcon(ButtonIcon(row.Name)), row.Caption, this);
        action->setObjectName(QString(row.Name) + "Action");
        action->setCheckable(row.Flags & cfCheckable);
        action->setEnabled(row.Handler != nullptr);
        auto* button = new QToolButton(ToolBar1);
        button->setObjectName(row.Name);
        button->setDefaultAction(action);
        button->setAutoRaise(true);
        button->setFixedSize(24, 24);
        ToolBar1->addWidget(button);
        Connect(action, row);
    }
    PreviousImageButton = ToolBar1->findChild<QToolButton*>("PreviousImageButton");
    NextImageButton = ToolBar1->findChild<QToolButton*>("NextImageButton");
    LumenoBtn = ToolBar1->findChild<QToolButton*>("LumenoBtn");
    MoveButton = ToolBar1->findChild<QToolButton*>("MoveButton");
    tbAcquire = ToolBar1->findChild<QToolButton*>("tbAcquire");
    tbPhotoAlbum = ToolBar1->findChild<QToolButton*>("tbPhotoAlbum");
    ToolButton1 = ToolBar1->findChild<QToolButton*>("ToolButton1");
    SearchButton = ToolBar1->findChild<QToolButton*>("SearchButton");
    tbGlimpset = ToolBar1->findChild<QToolButton*>("tbGlimpset");
    ToolButton5 = ToolBar1->findChild<QToolButton*>("ToolButton5");
    SetColor = ToolBar1->findChild<QToolButton*>("SetColor");
    AutoZoom = ToolBar1->findChild<QToolButton*>("AutoZoom");
}

void TForm1::PopupMenu1Popup()
{
    const int selected = int(SLV1->selectedItems().size());
    for (const TCommand& row : CommandTable()) {
        if (!QString(row.Place).startsWith("Popup1"))
            continue;
        if (row.Flags & cfOneSelected)
            EnableCommand(row.Name, selected == 1);
        else if (row.Flags & cfAnySelected)
            EnableCommand(row.Name, selected > 0);
    }
}

bool TForm1::KeypadZoom(QObject* Watched, QEvent* Event)
{
    if (Event->type() != QEvent::KeyPress || !Watched->isWidgetType() ||
        static_cast<QWidget*>(Watched)->window() != this)
        return false;
    const auto* key = static_cast<QKeyEvent*>(Event);
    if (key->modifiers() != Qt::KeypadModifier || (key->key() != Qt::Key_Plus && key->key() != Qt::Key_Minus))
        return false;
    if (const QWidget* focus = QApplication::focusWidget(); focus && EditsText(focus))
        return false;
    Command(key->key() == Qt::Key_Plus ? "ZoomIn1" : "ZoomOut1")->trigger();
    return true;
}

void TForm1::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_F10 && Event->modifiers() == Qt::NoModifier) {
        const QList<QAction*> menus = menuBar()->actions();
        if (!menus.isEmpty()) {
            menuBar()->setFocus(Qt::MenuBarFocusReason);
            menuBar()->setActiveAction(menus.first());
        }
        return;
    }
    QMainWindow::keyPressEvent(Event);
}

} // namespace lumeno
