// One full paint of the month grid (7 x 7 cells, 210 x 140) next to a QCalendarWidget of the same size
// showing the same month, both rendered offscreen; and the time from Alt+Down in a combo edit until its
// popup calendar has painted on the screen.

#include "components/pick_date.h"
#include "platform/gui/application.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDate>
#include <QImage>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <QWidget>

#include "bench/benchmark_options.h"
#include "bench/render_loop.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

using namespace carlume;

constexpr int kWidth = 210;
constexpr int kHeight = 140;

void UiCalendarPaint(benchmark::State& state)
{
    TUiCalendar calendar;
    calendar.resize(kWidth, kHeight);
    calendar.SetCalendarDate(EncodeDate(2026, 3, 18));
    TimeRenders(state, calendar);
}
BENCHMARK(UiCalendarPaint);

void QCalendarWidgetPaint(benchmark::State& state)
{
    QCalendarWidget calendar;
    calendar.setNavigationBarVisible(false);
    calendar.setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar.setFirstDayOfWeek(Qt::Monday);
    calendar.resize(kWidth, kHeight);
    calendar.setSelectedDate(QDate(2026, 3, 18));
    TimeRenders(state, calendar);
}
BENCHMARK(QCalendarWidgetPaint);

// The combo edit with the popup calendar, as the date edit wires it.
class DateCombo : public TCustomComboEdit {
public:
    explicit DateCombo(QWidget* parent)
        : TCustomComboEdit(parent)
        , popup(CreatePopupCalendar(this))
    {
        SetPopup(popup);
        popup->OnCloseUp = [this](TPopupWindow* sender, bool accept) { PopupCloseUp(sender, accept); };
    }
    TPopupCalendar* popup;
};

// Counts the paints of the popup's calendar, the last thing the popup paints.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

void AltDownToPopupPainted(benchmark::State& state)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* combo = new DateCombo(&window);
    layout->addWidget(combo);
    window.resize(220, 60);
    window.show();
    QApplication::setActiveWindow(&window);
    combo->setFocus();
    combo->SetText("3/18/2026");
    PaintCounter counter;
    combo->popup->Calendar().installEventFilter(&counter);
    for (auto _ : state) {
        const int before = counter.paints;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::AltModifier);
        QApplication::sendEvent(combo, &press);
        while (counter.paints == before)
            QApplication::processEvents();
        state.PauseTiming();
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(combo, &esc);
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(AltDownToPopupPainted)->Unit(benchmark::kMicrosecond);

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
