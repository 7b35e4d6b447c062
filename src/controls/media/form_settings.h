#pragma once
// Keeps a form's position and window state, and the values of its edits,
// memos, check boxes, radio buttons, list boxes, combo boxes and font
// dialogs, in the current user's registry under KeyName: section "Position"
// ("Left", "Top", "Width", "Height", "WindowState") and section "Values"
// (one value per control, named after it; a font dialog N stores N_Name,
// N_Size, N_Color, N_Bold, N_Italic, N_Underline and N_StrikeOut).
// Only the root's own children are visited, not their children.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <set>
#include <string>

class QWidget;

namespace lumeno {

class TRegIniFile;

enum class TSaveValOpt { svEdit, svMemo, svCheckBox, svRadioButton, svListBox, svComboBox, svFontDialog };
using TSaveValSet = std::set<TSaveValOpt>;

// Moves and, when it must, shrinks a window's bounds so that they lie on the
// available area of one of the screens (the one they overlap most, else the
// first).
QRect KeepOnScreen(const QRect& bounds, const QList<QRect>& screens);

class TFormSettings : public QObject {
    Q_OBJECT
public:
    // owner: the form whose settings are kept. The form calls Load once its
    // controls exist.
    explicit TFormSettings(QWidget* owner);

    bool SavePosition = true;
    bool SaveValues = false;
    bool LoadValues = false;
    // Kept for the forms that set it; every kind is stored whatever it holds.
    TSaveValSet SaveValueOptions = {
        TSaveValOpt::svEdit,    TSaveValOpt::svMemo,     TSaveValOpt::svCheckBox,  TSaveValOpt::svRadioButton,
        TSaveValOpt::svListBox, TSaveValOpt::svComboBox, TSaveValOpt::svFontDialog};
    // The object whose children hold the values; none: the form.
    QPointer<QObject> RootControl;

    // Empty: "Software\" + the application's title + "\" + the form's name.
    std::string KeyName() const;
    void SetKeyName(const std::string& keyName) { keyName_ = keyName; }

    void Load();
    void Save();

private:
    QWidget* Form() const;
    QObject* Root() const;
    void LoadPosition(TRegIniFile& ini, QWidget& form);
    void SavePositionTo(TRegIniFile& ini, const QWidget& form);
    void LoadControl(TRegIniFile& ini, QObject& control);
    void SaveControl(TRegIniFile& ini, const QObject& control);
    void LoadFontDialog(TRegIniFile& ini, QObject& control);
    void SaveFontDialog(TRegIniFile& ini, const QObject& control);

    std::string keyName_;
};

} // namespace lumeno
