#pragma once

// Bitmaps and cursors kept in the program as Qt resources (resources/carlume.qrc), under the names the
// program asks for ("PREV2", "DEDITBMP", "UI_HANDCUR", ...), and the screen's table of cursors.

#include "platform/gui/bitmap.h"
#include "platform/services.h"

#include <QCursor>
#include <QImage>
#include <QString>

namespace carlume {

/// Cursor id of the pointing hand ("UI_HANDCUR").
constexpr TCursor crUiHand = 14000;
/// Cursor id of the grasping hand ("UI_DRAGCUR").
constexpr TCursor crUiDragHand = 14001;

/// A picture in a format Qt reads itself ("png", "xpm", "pbm", "bmp"), read as that format only; a null
/// image when it cannot be.
QImage ReadBuiltInImage(const QString& path, const char* format);

/// The bitmap resource of that name; an empty bitmap when there is none. One-bit resources come back
/// monochrome.
TBitmap LoadBitmapResource(const QString& name);

/// The cursor resource of that name with its hot spot; the arrow when there is none.
QCursor LoadCursorResource(const QString& name);

/// Puts a cursor into the screen's table under `id`, replacing one registered before.
void RegisterCursor(TCursor id, const QCursor& cursor);

/// Registers the two hand cursors under crUiHand and crUiDragHand, as the program does at start-up.
void RegisterProgramCursors();

/// The cursor an id stands for: crArrow and crDefault the arrow, crHourGlass the wait cursor, registered
/// ids their cursor, anything else the arrow.
QCursor CursorFor(TCursor id);

} // namespace carlume
