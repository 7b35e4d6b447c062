#pragma once
// The one-line caption editor laid over the album list's Caption cell:
// Enter keeps the text, Esc leaves it.

#include <QDialog>

class QLineEdit;

namespace lumeno {

class TfrmEdit : public QDialog {
    Q_OBJECT
public:
    explicit TfrmEdit(QWidget* parent = nullptr);

    // Covers the screen rectangle with the text selected and opens without
    // blocking; Accepted carries the text when Enter is pressed.
    void Execute(const QRect& screenRect, const QString& text);

    QLineEdit* Edit1;

signals:
    void Accepted(const QString& text);
};

} // namespace lumeno
