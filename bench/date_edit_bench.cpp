// Typing a ten-character date into the date edit and leaving the field with Tab, as key events sent
// in-process on the offscreen platform, until the date is read back; beside a plain QLineEdit with the
// same Qt input mask, typed and left the same way.

#include "components/date_edit.h"
#include "platform/gui/application.h"
#include "platform/gui/form.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

#include "bench/benchmark_options.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <type_traits>

namespace {

using namespace carlume;

const QString kTyped = QStringLiteral("03/15/2024");

// Keys as the window system delivers them: to the focused widget, through the application.
void Type(QWidget& target, const QString& text)
{
    for (const QChar c : text) {
        // Digits and "/" have their ASCII codes as Qt keys.
        QKeyEvent press(QEvent::KeyPress, c.unicode(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(&target, &press);
        QKeyEvent release(QEvent::KeyRelease, c.unicode(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(&target, &release);
    }
}

void Leave(QWidget& target)
{
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(&target, &tab);
}

template <class Edit> void TypeAndLeave(benchmark::State& state, Edit& edit, QWidget& other)
{
    for (auto _ : state) {
        state.PauseTiming();
        edit.setFocus(Qt::OtherFocusReason);
        edit.selectAll();
        state.ResumeTiming();
        Type(edit, kTyped);
        Leave(edit);
        if constexpr (std::is_same_v<Edit, TDateEdit>)
            benchmark::DoNotOptimize(edit.GetDate());
        else
            benchmark::DoNotOptimize(edit.displayText());
    }
    if (!other.hasFocus())
        state.SkipWithError("Tab did not leave the field");
}

// A window like the lookup window's date row: the field and a control to leave it for.
struct Window {
    Window()
    {
        auto* layout = new QVBoxLayout(&form);
        layout->addWidget(date = new TDateEdit(&form));
        layout->addWidget(plain = new QLineEdit(&form));
        layout->addWidget(other = new QLineEdit(&form));
        plain->setInputMask(QStringLiteral("00/00/0000; "));
        form.show();
        QApplication::setActiveWindow(&form);
    }
    TForm form;
    TDateEdit* date;
    QLineEdit* plain;
    QLineEdit* other;
};

void DateEditTypeAndLeave(benchmark::State& state)
{
    Window w;
    QWidget::setTabOrder(w.date, w.other);
    TypeAndLeave(state, *w.date, *w.other);
    if (w.date->GetDate() != EncodeDate(2024, 3, 15))
        state.SkipWithError("the date typed was not read");
}
BENCHMARK(DateEditTypeAndLeave)->Unit(benchmark::kMicrosecond);

void MaskedLineEditTypeAndLeave(benchmark::State& state)
{
    Window w;
    QWidget::setTabOrder(w.plain, w.other);
    TypeAndLeave(state, *w.plain, *w.other);
}
BENCHMARK(MaskedLineEditTypeAndLeave)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    TApplication application(argc, argv);
    TBenchmarkOptions options(argc, argv);
    if (options.ReportUnrecognized())
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
