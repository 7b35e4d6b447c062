#include "page_capture.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <memory>

namespace lumeno::test {

namespace {

class CaptureEngine : public QPaintEngine {
public:
    explicit CaptureEngine(CapturedPage& page) : QPaintEngine(QPaintEngine::AllFeatures), page_(page) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState& state) override
    {
        if (state.state() & QPaintEngine::DirtyTransform)
            transform_ = state.transform();
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode) override
    {
        page_.Strokes.push_back(
            transform_.map(QPolygonF(QList<QPointF>(points, points + count))).boundingRect());
    }
    void drawPath(const QPainterPath& path) override
    {
        page_.Strokes.push_back(transform_.map(path).boundingRect());
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        page_.Texts.push_back({item.text(), transform_.map(p)});
    }
    void drawLines(const QLineF* lines, int count) override
    {
        for (int i = 0; i < count; ++i) {
            const QLineF line = transform_.map(lines[i]);
            page_.Strokes.push_back(QRectF(line.p1(), line.p2()).normalized());
        }
    }
    Type type() const override { return QPaintEngine::User; }

private:
    CapturedPage& page_;
    QTransform transform_;
};

class CaptureDevice : public QPaintDevice {
public:
    CaptureDevice(const TDeviceMetrics& metrics, CapturedPage& page)
        : metrics_(metrics), engine_(std::make_unique<CaptureEngine>(page))
    {
    }
    ~CaptureDevice() override = default;
    QPaintEngine* paintEngine() const override { return engine_.get(); }

protected:
    int metric(PaintDeviceMetric m) const override { return PageMetric(metrics_, m); }

private:
    TDeviceMetrics metrics_;
    std::unique_ptr<CaptureEngine> engine_;
};

} // namespace

const CapturedText* CapturedPage::Find(const QString& text) const
{
    for (const CapturedText& t : Texts)
        if (t.Text == text)
            return &t;
    return nullptr;
}

int CapturedPage::Count(const QString& text) const
{
    int n = 0;
    for (const CapturedText& t : Texts)
        n += t.Text == text ? 1 : 0;
    return n;
}

CapturedPage CapturePage(const TPageMetafile& page)
{
    CapturedPage captured;
    CaptureDevice device(page.Metrics(), captured);
    QPainter painter(&device);
    PlayPage(painter, page);
    return captured;
}

} // namespace lumeno::test
