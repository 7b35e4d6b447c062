#pragma once
// The drop-down of TdfsColorButton: the other colour in row 0, the palette
// colours in rows 1-5 and columns 1-4, and a button that opens the colour
// dialog. Picking a cell, Enter, Escape, a click elsewhere or losing
// activation closes it.

#include "controls/shell/color_array_class.h"

#include <QPoint>
#include <QPointer>
#include <QWidget>

class QPushButton;

namespace lumeno {

class TdfsColorButton;

class TDFSColorButtonPalette : public QWidget {
    Q_OBJECT
public:
    explicit TDFSColorButtonPalette(TdfsColorButton* button);

    static constexpr QPoint kNoCell{-1, -1};

    // x = column 1..4 (row 0 spans all), y = row 0..5.
    QRect CellRect(const QPoint& cell) const;
    QPoint CellAt(const QPoint& point) const;
    QPoint Current() const { return current_; }
    TColor CellColor(const QPoint& cell) const;
    // Empty without ShowColorHints.
    QString HintFor(const QPoint& cell) const;
    const TColorArrayClass& CustomColors() const { return customColors_; }
    QPushButton* OtherButton() const { return otherButton_; }

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void SetCurrent(const QPoint& cell);
    void Pick(const QPoint& cell);
    void Move(int key);
    void OpenColorDialog();
    void Finish();

    QPointer<TdfsColorButton> button_;
    TColorArrayClass paletteColors_;
    TColorArrayClass customColors_;
    TColor otherColor_;
    bool showHints_;
    QPoint current_ = kNoCell;
    QPushButton* otherButton_;
    bool colorDialogOpen_ = false;
    bool finished_ = false;
};

} // namespace lumeno
