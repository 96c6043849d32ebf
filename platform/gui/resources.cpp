#include "platform/gui/resources.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QMap>
#include <QPixmap>

#include <array>
#include <mutex>

// The generated resource initialiser lives in this static library; calling it keeps the linker from
// dropping it.
static void InitCarlumeResources()
{
    Q_INIT_RESOURCE(carlume);
}

namespace carlume {

namespace {

struct CursorHotSpot {
    const char* name;
    int x;
    int y;
};

constexpr std::array<CursorHotSpot, 2> kHotSpots = {{
    {"UI_HANDCUR", 6, 16},
    {"UI_DRAGCUR", 15, 16},
}};

void EnsureResources()
{
    static std::once_flag once;
    std::call_once(once, InitCarlumeResources);
}

QMap<TCursor, QCursor>& CursorTable()
{
    static QMap<TCursor, QCursor> table;
    return table;
}

void ClearCursorTable()
{
    CursorTable().clear();
}

} // namespace

QImage ReadBuiltInImage(const QString& path, const char* format)
{
    // Naming the format and turning detection off keeps Qt from first loading every image plugin it has
    // (libjpeg, libtiff, libwebp ...) to ask each about the file.
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

TBitmap LoadBitmapResource(const QString& name)
{
    EnsureResources();
    for (const char* format : {"pbm", "xpm", "png", "bmp"}) {
        const QString path = QStringLiteral(":/bitmaps/") + name + QLatin1Char('.') + QLatin1String(format);
        if (QFile::exists(path)) {
            const QImage image = ReadBuiltInImage(path, format);
            if (!image.isNull()) {
                return TBitmap(image);
            }
        }
    }
    return TBitmap();
}

QCursor LoadCursorResource(const QString& name)
{
    EnsureResources();
    const QPixmap pixmap = QPixmap::fromImage(
        ReadBuiltInImage(QStringLiteral(":/cursors/") + name + QStringLiteral(".xpm"), "xpm"));
    if (pixmap.isNull()) {
        return QCursor(Qt::ArrowCursor);
    }
    for (const auto& spot : kHotSpots) {
        if (name == QLatin1String(spot.name)) {
            return QCursor(pixmap, spot.x, spot.y);
        }
    }
    return QCursor(pixmap, 0, 0);
}

void RegisterCursor(TCursor id, const QCursor& cursor)
{
    // Cursors hold pixmaps, which must go before the application object does.
    static std::once_flag once;
    std::call_once(once, [] { qAddPostRoutine(ClearCursorTable); });
    CursorTable().insert(id, cursor);
}

void RegisterProgramCursors()
{
    RegisterCursor(crUiHand, LoadCursorResource(QStringLiteral("UI_HANDCUR")));
    RegisterCursor(crUiDragHand, LoadCursorResource(QStringLiteral("UI_DRAGCUR")));
}

QCursor CursorFor(TCursor id)
{
    if (id == crHourGlass) {
        return QCursor(Qt::WaitCursor);
    }
    const auto& table = CursorTable();
    if (auto it = table.find(id); it != table.end()) {
        return *it;
    }
    return QCursor(Qt::ArrowCursor);
}

} // namespace carlume
