// One full paint of a 25 x 25 speed button with glyph and caption, next to a QToolButton of the same size
// and content painted with render(), offscreen. Warm: the looks (and Qt's style caches) are built; cold:
// they are dropped before every paint, so each paint builds them again.

#include "components/speed_button.h"
#include "platform/gui/application.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPixmapCache>
#include <QToolButton>

#include "bench/benchmark_options.h"
#include "bench/render_loop.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

using namespace carlume;

constexpr int kSide = 25;
constexpr int kGlyph = 10;

TBitmap GlyphBitmap()
{
    TBitmap glyph(kGlyph, kGlyph);
    glyph.Canvas().Brush().SetColor(clFuchsia);
    glyph.Canvas().FillRect(Rect(0, 0, kGlyph, kGlyph));
    glyph.Canvas().Brush().SetColor(clNavy);
    glyph.Canvas().FillRect(Rect(2, 2, kGlyph - 2, kGlyph - 2));
    return glyph;
}

class TBenchButton : public TUiSpeedButton {
public:
    TBenchButton()
    {
        resize(kSide, kSide);
        SetGlyph(GlyphBitmap());
        SetCaption(QStringLiteral("A"));
        SetLayout(TButtonLayout::blGlyphLeft);
    }
    void DropLooks() { GlyphPainter().Invalidate(); }
};

void SetUpToolButton(QToolButton& button)
{
    button.resize(kSide, kSide);
    button.setText(QStringLiteral("A"));
    button.setIconSize(QSize(kGlyph, kGlyph));
    button.setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button.setIcon(QIcon(QPixmap::fromImage(GlyphBitmap().MaskedImage())));
}

void SpeedButtonWarm(benchmark::State& state)
{
    TBenchButton button;
    TimeRenders(state, button);
}
BENCHMARK(SpeedButtonWarm);

void ToolButtonWarm(benchmark::State& state)
{
    QToolButton button;
    SetUpToolButton(button);
    TimeRenders(state, button);
}
BENCHMARK(ToolButtonWarm);

void SpeedButtonCold(benchmark::State& state)
{
    TBenchButton button;
    TimeRenders(state, button, [&] { button.DropLooks(); });
}
BENCHMARK(SpeedButtonCold);

void ToolButtonCold(benchmark::State& state)
{
    QToolButton button;
    SetUpToolButton(button);
    const QPixmap pixmap = QPixmap::fromImage(GlyphBitmap().MaskedImage());
    // A new icon has no scaled pixmaps yet, and the style's cached bevels are gone.
    TimeRenders(state, button, [&] {
        QPixmapCache::clear();
        button.setIcon(QIcon(pixmap));
    });
}
BENCHMARK(ToolButtonCold);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    TApplication application(argc, argv);
    TBenchmarkOptions options(argc, argv);
    if (options.ReportUnrecognized())
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
