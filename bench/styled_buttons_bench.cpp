// One paint of each styled button at 75 x 25, next to a QPushButton of the same size, each through
// QWidget::render into the same image. Unless told otherwise, the benchmarks run in repetitions interleaved
// at random with each other's, and their medians are compared. Prints each button's time as a ratio to the
// QPushButton's, and a verdict for each button (goal: at most 1.0x).
//
// The buttons keep the last look they painted (as the platform style keeps its button bevels), so a
// repeated paint mostly copies it; the "Cold" runs change the caption on every paint to time the whole
// drawing, beside a QPushButton whose caption changes the same way. They have no goal.

#include "components/gradient_button.h"
#include "components/scheme_button.h"
#include "platform/gui/application.h"

#include <QImage>
#include <QPushButton>

#include "bench/benchmark_options.h"
#include "bench/render_loop.h"
#include "bench/verdict.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using namespace carlume;

void RenderOnce(benchmark::State& state, QWidget& button)
{
    button.resize(75, 25);
    TimeRenders(state, button);
}

void BM_QPushButton(benchmark::State& state)
{
    QPushButton button(QStringLiteral("OK"));
    RenderOnce(state, button);
}

void BM_GradientButton(benchmark::State& state)
{
    TGradientButton button;
    button.SetCaption(QStringLiteral("OK"));
    RenderOnce(state, button);
}

void BM_GradientButtonPlain(benchmark::State& state)
{
    TGradientButton button;
    button.SetCaption(QStringLiteral("OK"));
    button.SetGradient(false);
    RenderOnce(state, button);
}

void BM_SchemeButton(benchmark::State& state)
{
    TSchemeButton button;
    button.SetCaption(QStringLiteral("OK"));
    RenderOnce(state, button);
}

void BM_SchemeButtonPlain(benchmark::State& state)
{
    TSchemeButton button;
    button.SetCaption(QStringLiteral("OK"));
    button.SetColorScheme(csSilver);
    RenderOnce(state, button);
}

// Alternates between two captions, so that no paint can reuse the previous look.
template <class Button> void RenderEachLookAfresh(benchmark::State& state, Button& button)
{
    button.resize(75, 25);
    const QString captions[] = {QStringLiteral("OK"), QStringLiteral("Ok")};
    int next = 0;
    TimeRenders(state, button, [&] {
        if constexpr (std::is_same_v<Button, QPushButton>)
            button.setText(captions[next]);
        else
            button.SetCaption(captions[next]);
        next ^= 1;
    });
}

void BM_GradientButtonCold(benchmark::State& state)
{
    TGradientButton button;
    RenderEachLookAfresh(state, button);
}

void BM_SchemeButtonCold(benchmark::State& state)
{
    TSchemeButton button;
    RenderEachLookAfresh(state, button);
}

void BM_QPushButtonCold(benchmark::State& state)
{
    QPushButton button;
    RenderEachLookAfresh(state, button);
}

BENCHMARK(BM_QPushButton);
BENCHMARK(BM_QPushButtonCold);
BENCHMARK(BM_GradientButtonCold);
BENCHMARK(BM_SchemeButtonCold);
BENCHMARK(BM_GradientButton);
BENCHMARK(BM_GradientButtonPlain);
BENCHMARK(BM_SchemeButton);
BENCHMARK(BM_SchemeButtonPlain);

// The console report, plus the time per paint of every benchmark for the ratios: the median of its
// repetitions, or its one run when not repeated.
class RatioReporter : public TMedianReporter {
public:
    using TMedianReporter::TMedianReporter;

    // Each button against the QPushButton painted the same way: repeated paints of one look, or "Cold".
    void PrintRatios() const
    {
        std::printf("\nratio to a QPushButton painted the same way:\n");
        VerdictList verdicts;
        for (const auto& [name, run] : Kept()) {
            const bool cold = name.ends_with("Cold");
            const auto reference = Kept().find(cold ? "BM_QPushButtonCold" : "BM_QPushButton");
            if (reference == Kept().end() || reference->second.GetAdjustedRealTime() <= 0 ||
                name == reference->first) {
                continue;
            }
            const double ratio = run.GetAdjustedRealTime() / reference->second.GetAdjustedRealTime();
            std::printf("  %-24s %6.2f%s\n", name.c_str(), ratio,
                        cold ? "  (a new look each paint: no goal)" : "");
            if (!cold) {
                verdicts.Add("one paint of " + name.substr(3) + " against a QPushButton, one look repeated",
                             ratio, VerdictGoal::AtMost, 1, "x");
            }
        }
        std::printf("\n");
        verdicts.Print();
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    TApplication application(argc, argv);
    TBenchmarkOptions options(argc, argv,
                              {"--benchmark_repetitions=9", "--benchmark_enable_random_interleaving=true",
                               "--benchmark_min_time=0.1", "--benchmark_report_aggregates_only=true"});
    RatioReporter reporter(options.ConsoleOptions());
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return VerdictExitStatus();
}
