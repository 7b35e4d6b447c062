#pragma once
// Shows the whole text of a tree item that the tree's width cuts off, over
// the item; hyperlink text is blue and underlined.

#include <QWidget>

namespace lumeno {

class TfcTreeHintWindow : public QWidget {
    Q_OBJECT
public:
    explicit TfcTreeHintWindow(QWidget* parent = nullptr);

    // Shows text with its top-left at the screen point: text width + 6 by
    // text height + 2.
    void ShowHint(const QPoint& screenPos, const QString& text, const QFont& font, bool link);
    static QSize HintSize(const QFont& font, const QString& text);
    const QString& Text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};

} // namespace lumeno
