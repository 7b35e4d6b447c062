#pragma once
// A panel that can sit on a picture: when transparent it draws only its
// caption, bevels and border; its transparent children are repainted with it.

#include <QFrame>
#include <QString>

namespace lumeno {

enum TBevelCut { bvNone, bvLowered, bvRaised };

class TPGPanel : public QFrame {
    Q_OBJECT
public:
    explicit TPGPanel(QWidget* Parent = nullptr);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    QString GetCaption() const { return FCaption; }
    void SetCaption(const QString& Value);
    Qt::Alignment GetAlignment() const { return FAlignment; }
    void SetAlignment(Qt::Alignment Value);
    TBevelCut GetBevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    TBevelCut GetBevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    int GetBevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    int GetBorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    void Invalidate();

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    void DrawBevel(QPainter& Painter, QRect& Rect, TBevelCut Cut) const;

    bool FTransparent = true;
    QString FCaption;
    Qt::Alignment FAlignment = Qt::AlignCenter;
    TBevelCut FBevelOuter = bvRaised;
    TBevelCut FBevelInner = bvNone;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
};

} // namespace lumeno
