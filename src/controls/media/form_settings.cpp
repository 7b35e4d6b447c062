#include "controls/media/form_settings.h"

#include "controls/media/font_dialog.h"
#include "platform/qt/registry/reg_ini_file.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTextEdit>
#include <QWidget>

#include <algorithm>

namespace lumeno {

namespace {

const std::string kPosition = "Position";
const std::string kValues = "Values";

std::string NameOf(const QObject& o)
{
    return o.objectName().toStdString();
}

std::string Upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return s;
}

std::string StateText(Qt::WindowStates state)
{
    if (state & Qt::WindowMinimized)
        return "MINIMIZED";
    if (state & Qt::WindowMaximized)
        return "MAXIMIZED";
    return "NORMAL";
}

Qt::WindowState StateOf(const std::string& text)
{
    const std::string upper = Upper(text);
    if (upper == "MINIMIZED")
        return Qt::WindowMinimized;
    if (upper == "MAXIMIZED")
        return Qt::WindowMaximized;
    return Qt::WindowNoState;
}

QList<QRect> AvailableScreens()
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.append(screen->availableGeometry());
    return areas;
}

} // namespace

QRect KeepOnScreen(const QRect& bounds, const QList<QRect>& screens)
{
    if (screens.isEmpty())
        return bounds;
    QRect area = screens.front();
    long long best = 0;
    for (const QRect& screen : screens) {
        const QRect common = screen.intersected(bounds);
        const long long overlap = common.isEmpty() ? 0 : 1LL * common.width() * common.height();
        if (overlap > best) {
            best = overlap;
            area = screen;
        }
    }
    QRect kept(bounds.topLeft(), QSize(std::clamp(bounds.width(), 1, area.width()),
                                       std::clamp(bounds.height(), 1, area.height())));
    kept.moveLeft(std::clamp(kept.left(), area.left(), area.right() - kept.width() + 1));
    kept.moveTop(std::clamp(kept.top(), area.top(), area.bottom() - kept.height() + 1));
    return kept;
}

TFormSettings::TFormSettings(QWidget* owner) : QObject(owner)
{
    setObjectName(QStringLiteral("FormSettings1"));
}

QWidget* TFormSettings::Form() const
{
    auto* form = qobject_cast<QWidget*>(parent());
    return form && form->isWindow() ? form : nullptr;
}

QObject* TFormSettings::Root() const
{
    return RootControl ? RootControl.data() : Form();
}

std::string TFormSettings::KeyName() const
{
    if (!keyName_.empty() || !qApp || !Form())
        return keyName_;
    return "Software\\" + QGuiApplication::applicationDisplayName().toStdString() + "\\" + NameOf(*Form());
}

void TFormSettings::Load()
{
    QWidget* form = Form();
    if (!form)
        return;
    TRegIniFile ini(KeyName());
    if (SavePosition)
        LoadPosition(ini, *form);
    if (!LoadValues)
        return;
    const QObjectList children = Root()->children();
    for (QObject* child : children)
        LoadControl(ini, *child);
    for (QObject* child : children)
        LoadFontDialog(ini, *child);
}

void TFormSettings::Save()
{
    const QWidget* form = Form();
    if (!form)
        return;
    TRegIniFile ini(KeyName());
    if (SavePosition)
        SavePositionTo(ini, *form);
    if (!SaveValues)
        return;
    const QObjectList children = Root()->children();
    for (const QObject* child : children)
        SaveControl(ini, *child);
    for (const QObject* child : children)
        SaveFontDialog(ini, *child);
}

void TFormSettings::LoadPosition(TRegIniFile& ini, QWidget& form)
{
    const QRect stored(ini.ReadInteger(kPosition, "Left", form.x()),
                       ini.ReadInteger(kPosition, "Top", form.y()),
                       ini.ReadInteger(kPosition, "Width", form.width()),
                       ini.ReadInteger(kPosition, "Height", form.height()));
    const QRect kept = KeepOnScreen(stored, AvailableScreens());
    form.move(kept.topLeft());
    form.resize(kept.size());
    form.setWindowState(StateOf(ini.ReadString(kPosition, "WindowState", "Normal")));
}

void TFormSettings::SavePositionTo(TRegIniFile& ini, const QWidget& form)
{
    // A maximised or minimised form keeps the bounds it had when normal.
    const Qt::WindowStates state = form.windowState();
    if (!(state & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        ini.WriteInteger(kPosition, "Left", form.x());
        ini.WriteInteger(kPosition, "Top", form.y());
        ini.WriteInteger(kPosition, "Width", form.width());
        ini.WriteInteger(kPosition, "Height", form.height());
    }
    ini.WriteString(kPosition, "WindowState", StateText(state));
}

void TFormSettings::LoadControl(TRegIniFile& ini, QObject& control)
{
    const std::string name = NameOf(control);
    if (name.empty())
        return;
    if (auto* edit = qobject_cast<QLineEdit*>(&control); edit) {
        edit->setText(QString::fromStdString(ini.ReadString(kValues, name, edit->text().toStdString())));
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(&control); memo) {
        memo->setPlainText(
            QString::fromStdString(ini.ReadString(kValues, name, memo->toPlainText().toStdString())));
    } else if (auto* rich = qobject_cast<QTextEdit*>(&control); rich) {
        rich->setPlainText(
            QString::fromStdString(ini.ReadString(kValues, name, rich->toPlainText().toStdString())));
    } else if (auto* check = qobject_cast<QCheckBox*>(&control); check) {
        check->setChecked(ini.ReadBool(kValues, name, check->isChecked()));
    } else if (auto* radio = qobject_cast<QRadioButton*>(&control);
               radio) {
        radio->setChecked(ini.ReadBool(kValues, name, radio->isChecked()));
    } else if (auto* list = qobject_cast<QListView*>(&control);
               list && list->model()) {
        list->setCurrentIndex(
            list->model()->index(ini.ReadInteger(kValues, name, list->currentIndex().row()), 0));
    } else if (auto* combo = qobject_cast<QComboBox*>(&control); combo) {
        const int index = ini.ReadInteger(kValues, name, combo->currentIndex());
        combo->setCurrentIndex(index >= -1 && index < combo->count() ? index : combo->currentIndex());
    }
}

void TFormSettings::SaveControl(TRegIniFile& ini, const QObject& control)
{
    const std::string name = NameOf(control);
    if (name.empty())
        return;
    if (auto* edit = qobject_cast<const QLineEdit*>(&control); edit)
        ini.WriteString(kValues, name, edit->text().toStdString());
    else if (auto* memo = qobject_cast<const QPlainTextEdit*>(&control); memo)
        ini.WriteString(kValues, name, memo->toPlainText().toStdString());
    else if (auto* rich = qobject_cast<const QTextEdit*>(&control); rich)
        ini.WriteString(kValues, name, rich->toPlainText().toStdString());
    else if (auto* check = qobject_cast<const QCheckBox*>(&control);
             check)
        ini.WriteBool(kValues, name, check->isChecked());
    else if (auto* radio = qobject_cast<const QRadioButton*>(&control);
             radio)
        ini.WriteBool(kValues, name, radio->isChecked());
    else if (auto* list = qobject_cast<const QListView*>(&control); list)
        ini.WriteInteger(kValues, name, list->currentIndex().row());
    else if (auto* combo = qobject_cast<const QComboBox*>(&control);
             combo)
        ini.WriteInteger(kValues, name, combo->currentIndex());
}

void TFormSettings::LoadFontDialog(TRegIniFile& ini, QObject& control)
{
    auto* dialog = qobject_cast<TFontDialog*>(&control);
    const std::string name = NameOf(control);
    if (!dialog || name.empty())
        return;
    QFont font = dialog->Font();
    const std::string family = ini.ReadString(kValues, name + "_Name", font.family().toStdString());
    if (!family.empty())
        font.setFamily(QString::fromStdString(family));
    const int size = ini.ReadInteger(kValues, name + "_Size", font.pointSize());
    if (size > 0)
        font.setPointSize(size);
    font.setBold(ini.ReadBool(kValues, name + "_Bold", font.bold()));
    font.setItalic(ini.ReadBool(kValues, name + "_Italic", font.italic()));
    font.setUnderline(ini.ReadBool(kValues, name + "_Underline", font.underline()));
    font.setStrikeOut(ini.ReadBool(kValues, name + "_StrikeOut", font.strikeOut()));
    dialog->SetFont(font);
}

void TFormSettings::SaveFontDialog(TRegIniFile& ini, const QObject& control)
{
    auto* dialog = qobject_cast<const TFontDialog*>(&control);
    const std::string name = NameOf(control);
    if (!dialog || name.empty())
        return;
    const QFont& font = dialog->Font();
    ini.WriteString(kValues, name + "_Name", font.family().toStdString());
    ini.WriteInteger(kValues, name + "_Size", font.pointSize());
    // The font dialog picks no colour: the text stays black.
    ini.WriteInteger(kValues, name + "_Color", 0);
    ini.WriteBool(kValues, name + "_Bold", font.bold());
    ini.WriteBool(kValues, name + "_Italic", font.italic());
    ini.WriteBool(kValues, name + "_Underline", font.underline());
    ini.WriteBool(kValues, name + "_StrikeOut", font.strikeOut());
}

} // namespace lumeno
