#pragma once

// Drawing utilities the interface components share: the parent's picture under a transparent control,
// embossed (disabled) pictures, text shortening, removal of a queued event and the foreground test.

#include "components/ui_math.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/geometry.h"

#include <QEvent>
#include <QString>

class QObject;
class QWidget;

namespace carlume {

class TImageList;

/// Right - Left.
constexpr int RectWidth(const TRect& rect)
{
    return rect.Right - rect.Left;
}

/// Bottom - Top.
constexpr int RectHeight(const TRect& rect)
{
    return rect.Bottom - rect.Top;
}

/// Paints what lies under `control` into `dest`: the parent's own painting, then the earlier sibling
/// graphic controls that overlap it. Nothing happens without a control or a parent.
void CopyParentImage(QWidget* control, TCanvas& dest);

/// The embossed picture of the `outline`-coloured pixels of `source`: those pixels in `shadow` over a copy
/// in `highlight` one pixel right and down (when `drawHighlight`), everything else `back`.
TBitmap CreateDisabledBitmapEx(const TBitmap& source, TColor outline, TColor back, TColor highlight,
                               TColor shadow, bool drawHighlight);

/// `CreateDisabledBitmapEx` on clBtnFace with clBtnHighlight and clBtnShadow, highlight drawn.
TBitmap CreateDisabledBitmap(const TBitmap& source, TColor outline);

/// Draws entry `index` of the list at (x, y) embossed: its opaque pixels in `grey` over a copy in
/// `highlight` one pixel right and down (when `drawHighlight`); transparent pixels leave the canvas as it
/// was. An index out of range draws nothing.
void ImageListDrawDisabled(const TImageList& images, TCanvas& canvas, int x, int y, int index,
                           TColor highlight, TColor grey, bool drawHighlight);

/// Removes queued events of that type for `receiver` (null: for every receiver). A quit request is never
/// removed.
void KillMessage(QObject* receiver, QEvent::Type type);

/// The text shortened with "..." until it fits `maxWidth` in the canvas font: first two characters go,
/// then one more each time; "..." alone is the shortest result, even when it does not fit.
QString MinimizeText(const QString& text, const TCanvas& canvas, int maxWidth);

/// True when the active window belongs to this program.
bool IsForegroundTask();

/// The widget under the mouse pointer, disabled ones included; null when there is none.
QWidget* ControlAtCursor();

} // namespace carlume
