#pragma once
// The kit's drop-down base: a one-line edit with a drop-down button at its
// right edge and a popup that a descendant supplies. It places the popup
// under (or above) the edit, closes it on a press outside, and maps the
// combo keys. While a popup is open one application event filter watches
// the mouse for it.

#include "controls/kit/fc_drop_down_button.h"

#include <QEvent>
#include <QLineEdit>
#include <QPointer>

namespace lumeno {

enum class TfcComboStyle { csDropDown, csDropDownList };

// Where a popup goes: under the combo, or above it when the screen has no
// room below; moved left so that its right edge meets the combo's when it
// would pass the screen's right edge. comboOnScreen is in screen
// coordinates, screen the available area.
QRect fcPopupGeometry(const QRect& comboOnScreen, int itemCount, int dropDownCount, QSize itemSize, int border,
                      int scrollBarWidth, const QRect& screen);

// The combo's parts for its size: button host and button (in combo
// coordinates) and the edit rectangle (inside the frame).
struct TfcComboLayout {
    QRect Host;
    QRect Button; // inside the host
    QRect Edit;
};
TfcComboLayout fcComboLayout(QSize size, int frame, int scrollBarWidth, bool hostVisible, int leftIndent,
                             int topIndent);

class TfcCustomCombo : public QLineEdit {
    Q_OBJECT
public:
    explicit TfcCustomCombo(QWidget* parent = nullptr);
    ~TfcCustomCombo() override;

    int DropDownCount() const { return dropDownCount_; }
    virtual void SetDropDownCount(int value) { dropDownCount_ = value; }
    TfcComboStyle Style() const { return style_; }
    void SetStyle(TfcComboStyle value);
    bool AllowClearKey() const { return allowClearKey_; }
    void SetAllowClearKey(bool value) { allowClearKey_ = value; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    int ButtonFrameStyle() const { return button_->FrameStyle(); }
    void SetButtonFrameStyle(int value) { button_->SetFrameStyle(value); }

    TBtnWinControl* ButtonHost() const { return host_; }
    TfcDropDownButton* Button() const { return button_; }
    // The rectangle the text lies in, inside the frame.
    QRect EditRect() const { return layout_.Edit; }

    virtual void DropDown();
    virtual void CloseUp(bool accept);
    virtual bool IsDroppedDown() const { return false; }
    // Closes with Accept False when the screen point lies outside both the
    // drop-down control and the combo.
    void CheckCancelMode(const QPoint& globalPos);

signals:
    void OnDropDown(TfcCustomCombo* sender);
    void OnCloseUp(TfcCustomCombo* sender, bool select);

protected:
    virtual QWidget* GetDropDownControl() = 0;
    virtual QWidget* GetDropDownContainer() = 0;
    virtual int GetItemCount() = 0;
    virtual QSize GetItemSize() = 0;
    virtual int GetLeftIndent() { return 0; }
    virtual int GetTopIndent() { return 0; }
    virtual bool CanEdit() { return true; }
    // Whether typing may change the text now.
    bool EditCanModify() { return !readOnly_ && CanEdit(); }
    virtual void ShowCaret() { QLineEdit::setReadOnly(readOnly_); }
    virtual void HideCaret() { QLineEdit::setReadOnly(true); }
    virtual void PaintFace(QPainter&) {}
    // A mouse move or release outside the popup while it is open.
    virtual void PopupMouseOutside(QEvent::Type, const QPoint&, Qt::MouseButtons) {}
    void DoCloseUp(bool select) { emit OnCloseUp(this, select); }
    // Asks for a drop-down once the current mouse press is done.
    void PostDropDown();
    // Reads the edit rectangle again (after an indent changed).
    void UpdateButtonPosition();

    // Key handling before the edit's own; true consumes the key.
    virtual bool KeyDown(QKeyEvent* event);
    virtual bool KeyPress(QKeyEvent* event);

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void ButtonMouseDown(Qt::MouseButton button);
    void RemoveFilter();

    TBtnWinControl* host_;
    TfcDropDownButton* button_;
    TfcComboLayout layout_;
    int dropDownCount_ = 8;
    TfcComboStyle style_ = TfcComboStyle::csDropDown;
    bool allowClearKey_ = false;
    bool readOnly_ = false;
    bool filtering_ = false;
};

} // namespace lumeno
