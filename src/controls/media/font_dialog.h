#pragma once
// The font dialog with the font it edits kept as given: the system dialog
// only offers installed families, so its selection would turn a font such as
// "Arial" into whatever stands in for it. The font changes only when the
// user confirms a choice.

#include <QFontDialog>

namespace lumeno {

class TFontDialog : public QFontDialog {
    Q_OBJECT
public:
    explicit TFontDialog(QWidget* parent = nullptr);

    const QFont& Font() const { return font_; }
    void SetFont(const QFont& font);
    // Shows the dialog (window-modal) starting from Font.
    void Execute();

private:
    QFont font_;
};

} // namespace lumeno
