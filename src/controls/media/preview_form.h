#pragma once
// The print preview window: the recorded pages at a chosen zoom, one or two
// at a time, with an optional inch grid, navigation, zooming by clicks,
// panning by dragging, and printing.

#include <QCursor>
#include <QDialog>
#include <QPoint>
#include <QSize>
#include <QSizeF>

#include <vector>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace lumeno {

class TPreviewPrinter;

// Entries of the zoom list that are not fixed percentages.
constexpr int kZoomFitToPage = 0;
constexpr int kZoomFitToWidth = 1;
constexpr int kZoomCustom = 2;

// The page factor (1.0 = real size on the screen) of a zoom entry for a view
// of the given client size.
double ZoomFactorFor(int entry, double customFactor, QSize viewClient, double screenPpi, QSizeF pageInches);

// Where the inch lines of the grid go across a page side of `size` pixels.
std::vector<int> GridLines(int size, int pixelsPerInch);

class TPreviewForm : public QDialog {
    Q_OBJECT
public:
    explicit TPreviewForm(TPreviewPrinter& printer, QWidget* parent = nullptr);

    int Tag = 0;

    int CurrentPage() const { return currentPage_; }
    // The factor of the last layout.
    double ZoomFactor() const { return customFactor_; }
    void GoToPage(int index);

    QToolButton* GridBut;
    QToolButton* ZoomCursorBut;
    QToolButton* HandCursorBut;
    QToolButton* OnePageBut;
    QToolButton* TwoPageBut;
    QToolButton* FitPageBut;
    QToolButton* FitWidthBut;
    QPushButton* PrintBut;
    QPushButton* NextPageBut;
    QPushButton* PrevPageBut;
    QPushButton* CloseBut;
    QComboBox* ZoomBox;
    QScrollArea* ScrollBox1;
    QWidget* ContainPanel;
    QFrame* PagePanel;
    QWidget* PB1;
    QFrame* PagePanel2;
    QWidget* PB2;
    QLabel* HintLabel;
    QLabel* CurPageLabel;
    QLabel* ZoomLabel;
    QToolButton* FirstPageSpeed;
    QToolButton* PrevPageSpeed;
    QToolButton* NextPageSpeed;
    QToolButton* LastPageSpeed;
    QToolButton* PageNumSpeed;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void CreateToolBar();
    void CreatePages();
    void CreateStatusLine();
    void Connect();
    void SelectStartZoom();
    void UpdateButtons();
    void UpdateLayout();
    void ZoomBoxChange();
    void SelectZoomEntry(int entry);
    void PaintBox(QWidget* box);
    void ZoomClick(QWidget* box, QPoint at, bool zoomIn);
    void PageNumSpeedClick();
    int BoxPage(const QWidget* box) const;
    QSizeF PageInches() const;

    TPreviewPrinter& printer_;
    int currentPage_ = 0;
    double customFactor_ = 1.0;
    QPoint dragOrigin_;
    bool dragging_ = false;
    QCursor zoomCursor_;
};

} // namespace lumeno
