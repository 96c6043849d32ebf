#include "components/ui_draw_utils.h"

#include "platform/gui/control.h"
#include "platform/gui/image_list.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QPainter>
#include <QWidget>

#include <optional>

namespace carlume {

namespace {

// A painter on whatever the canvas draws on; the canvas's own operations must not run meanwhile.
class TCanvasPainter {
public:
    explicit TCanvasPainter(TCanvas& canvas)
    {
        if (canvas.Image() != nullptr) {
            owned_.emplace(canvas.Image());
            painter_ = &*owned_;
        } else if (canvas.Painter() != nullptr && canvas.Painter()->isActive()) {
            painter_ = canvas.Painter();
            painter_->save();
        }
    }
    ~TCanvasPainter()
    {
        if (!owned_ && painter_ != nullptr)
            painter_->restore();
    }
    TCanvasPainter(const TCanvasPainter&) = delete;
    TCanvasPainter& operator=(const TCanvasPainter&) = delete;
    QPainter* get() const { return painter_; }

private:
    std::optional<QPainter> owned_;
    QPainter* painter_ = nullptr;
};

} // namespace

void CopyParentImage(QWidget* control, TCanvas& dest)
{
    if (control == nullptr || control->parentWidget() == nullptr)
        return;
    QWidget* parent = control->parentWidget();
    const QRect self = control->geometry();
    TCanvasPainter painter(dest);
    if (painter.get() == nullptr)
        return;
    parent->render(painter.get(), QPoint(0, 0), QRegion(self.intersected(parent->rect())),
                   QWidget::DrawWindowBackground);
    for (QObject* child : parent->children()) {
        if (child == control)
            break;
        auto* sibling = qobject_cast<TGraphicControl*>(child);
        if (sibling == nullptr || !sibling->isVisibleTo(parent) || !sibling->geometry().intersects(self))
            continue;
        sibling->render(painter.get(), sibling->pos() - self.topLeft(), QRegion(),
                        QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
}

TBitmap CreateDisabledBitmapEx(const TBitmap& source, TColor outline, TColor back, TColor highlight,
                               TColor shadow, bool drawHighlight)
{
    const int width = source.Width();
    const int height = source.Height();
    QImage result(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    result.fill(ToQRgb(back));
    const QRgb outlineRgb = ToQRgb(outline) & 0xFFFFFFU;
    const QImage& picture = source.Image();
    const QRgb shadowRgb = ToQRgb(shadow);
    const QRgb highlightRgb = ToQRgb(highlight);
    // The highlight copy first, so that the shadow wins where both fall.
    for (int pass = drawHighlight ? 0 : 1; pass < 2; ++pass) {
        const int shift = pass == 0 ? 1 : 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if ((picture.pixel(x, y) & 0xFFFFFFU) != outlineRgb)
                    continue;
                const int tx = x + shift;
                const int ty = y + shift;
                if (tx < width && ty < height)
                    result.setPixel(tx, ty, pass == 0 ? highlightRgb : shadowRgb);
            }
        }
    }
    return TBitmap(result);
}

TBitmap CreateDisabledBitmap(const TBitmap& source, TColor outline)
{
    return CreateDisabledBitmapEx(source, outline, clBtnFace, clBtnHighlight, clBtnShadow, true);
}

void ImageListDrawDisabled(const TImageList& images, TCanvas& canvas, int x, int y, int index,
                           TColor highlight, TColor grey, bool drawHighlight)
{
    const QImage entry = images.Image(index);
    if (entry.isNull())
        return;
    QImage stamp(entry.size(), QImage::Format_ARGB32);
    const auto paint = [&](TColor colour, int at_x, int at_y) {
        const QRgb rgb = ToQRgb(colour);
        for (int row = 0; row < entry.height(); ++row)
            for (int col = 0; col < entry.width(); ++col)
                stamp.setPixel(col, row, qAlpha(entry.pixel(col, row)) != 0 ? rgb : 0U);
        canvas.DrawImage(at_x, at_y, stamp);
    };
    if (drawHighlight)
        paint(highlight, x + 1, y + 1);
    paint(grey, x, y);
}

void KillMessage(QObject* receiver, QEvent::Type type)
{
    if (type == QEvent::Quit)
        return;
    QCoreApplication::removePostedEvents(receiver, type);
}

QString MinimizeText(const QString& text, const TCanvas& canvas, int maxWidth)
{
    static const QString dots = QStringLiteral("...");
    QString result = text;
    for (qsizetype i = 1; i <= text.size() && canvas.TextWidth(result) > maxWidth;) {
        ++i;
        result = text.left(std::max<qsizetype>(0, text.size() - i)) + dots;
    }
    return result;
}

bool IsForegroundTask()
{
    // Qt knows an active window only when it is one of ours.
    return QApplication::activeWindow() != nullptr;
}

QWidget* ControlAtCursor()
{
    return QApplication::widgetAt(QCursor::pos());
}

} // namespace carlume
