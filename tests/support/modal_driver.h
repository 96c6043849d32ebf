#pragma once

// Drives modal windows in tests. A modal show runs its own event loop, so the test cannot act on the
// window after calling ShowModal; instead it queues steps first. The driver polls from a timer, hands each
// new modal window to the next step, and a watchdog closes any modal window that is left open (no step
// for it, or its step did not close it) and fails the test, so that a missed dialog never hangs the run.
//
//     TModalDriver driver;
//     driver.Then([](TModalWindow& w) {
//         w.Type("txtVIN", "1TSCA12B3CD456789");
//         w.Click("btnSearchByVIN");
//     });
//     driver.Then([](TModalWindow& box) { box.ClickButton("OK"); });   // a box the click opened
//     driver.ThenAgain([](TModalWindow& w) { w.Click("btnClose"); });  // back on the first window
//     EXPECT_EQ(window.ShowModal(), mrOk);

#include <QPointer>
#include <QString>
#include <QWidget>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class QObject;

namespace carlume::test {

/// A step could not act (a control is missing or has the wrong type); the driver reports it and closes
/// the window.
class TDriverError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The active modal window as a step sees it. Controls are found by objectName.
class TModalWindow {
public:
    /// A view of the window.
    explicit TModalWindow(QWidget& window);

    /// The window itself.
    QWidget& Widget() const { return *window_; }
    /// The window title.
    QString Title() const;
    /// The text a message box or input box shows; the title for other windows.
    QString Text() const;

    /// The control of that name and type; throws TDriverError when there is none.
    template <class T = QWidget> T& Find(const QString& name) const
    {
        if (auto* control = window_->findChild<T*>(name)) {
            return *control;
        }
        throw TDriverError("no control \"" + name.toStdString() + "\" of the expected type in \"" +
                           Title().toStdString() + "\"");
    }

    /// The window as its own class; throws TDriverError when it is another.
    template <class W> W& As() const
    {
        if (auto* window = dynamic_cast<W*>(window_.data())) {
            return *window;
        }
        throw TDriverError("the modal window \"" + Title().toStdString() + "\" is a " +
                           window_->metaObject()->className() + ", not the expected class");
    }

    /// A left click in the middle of the control.
    void Click(const QString& name);
    /// Double-clicks the item with this text in a list or table (click, then double click, on the item).
    void DoubleClickItem(const QString& name, const QString& itemText);
    /// Focuses the control and types the text; a line edit's old text is replaced.
    void Type(const QString& name, const QString& text);
    /// Chooses the item with this text in a combo box (as the user does, so `activated` fires) or clicks it
    /// in a list or table.
    void Pick(const QString& name, const QString& itemText);
    /// Presses and releases a key on the focused control (the window when none has the focus).
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    /// Presses and releases a key on the named control.
    void Key(const QString& name, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    /// Clicks the button showing this caption ("&" marks are ignored on both sides).
    void ClickButton(const QString& caption);
    /// Closes the window as its close box does.
    void Close();

private:
    QPointer<QWidget> window_;
};

class TModalDriver {
public:
    /// One action on one modal window.
    using TStep = std::function<void(TModalWindow&)>;

    /// Starts watching at once; `watchdog` is how long a modal window may stay open without a step
    /// taking care of it.
    explicit TModalDriver(std::chrono::milliseconds watchdog = std::chrono::seconds(5));
    /// Fails the test for steps whose window never appeared.
    ~TModalDriver();
    TModalDriver(const TModalDriver&) = delete;
    TModalDriver& operator=(const TModalDriver&) = delete;

    /// The next step: runs on the next modal window that no step has handled yet.
    TModalDriver& Then(TStep step);
    /// The next step, on whatever modal window is active, also one handled before (the outer window
    /// once a nested box has closed).
    TModalDriver& ThenAgain(TStep step);
    /// The next step on a new modal window of class W.
    template <class W, class F> TModalDriver& ThenOn(F step)
    {
        return Then([step = std::move(step)](TModalWindow& window) { step(window.As<W>(), window); });
    }

    /// Steps still waiting for their window.
    int StepsWaiting() const { return int(steps_.size()); }
    /// Replaces the default reporting (a non-fatal GoogleTest failure).
    void SetFailureReporter(std::function<void(const std::string&)> reporter);

private:
    struct Step {
        TStep action;
        bool again = false;
    };
    using Clock = std::chrono::steady_clock;

    void Poll();
    void Report(const std::string& message);
    void ForceClose(QWidget& window);
    bool Handled(const QWidget* window) const;

    std::chrono::milliseconds watchdog_;
    std::unique_ptr<QObject> context_;
    std::deque<Step> steps_;
    std::vector<QPointer<QWidget>> handled_;
    QPointer<QWidget> watched_;
    Clock::time_point watchedSince_;
    int done_ = 0;
    std::function<void(const std::string&)> reporter_;
};

} // namespace carlume::test
