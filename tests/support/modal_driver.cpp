#include "tests/support/modal_driver.h"

#include "platform/gui/form.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

namespace carlume::test {

namespace {

constexpr int kPollMilliseconds = 10;

QString WithoutMnemonics(QString text)
{
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return text;
}

} // namespace

// --- the window ---------------------------------------------------------------------------------------

TModalWindow::TModalWindow(QWidget& window)
    : window_(&window)
{
}

QString TModalWindow::Title() const
{
    return window_ != nullptr ? window_->windowTitle() : QString();
}

QString TModalWindow::Text() const
{
    if (auto* box = qobject_cast<QMessageBox*>(window_.data())) {
        // The marks that steer the line breaks on screen are no part of the text.
        return box->text().remove(QChar(0x2060)).remove(QChar(0x200B));
    }
    if (auto* input = qobject_cast<QInputDialog*>(window_.data())) {
        return input->labelText();
    }
    return Title();
}

void TModalWindow::Click(const QString& name)
{
    QWidget& control = Find<QWidget>(name);
    if (!control.isVisible()) {
        throw TDriverError("control \"" + name.toStdString() + "\" is not visible");
    }
    QTest::mouseClick(&control, Qt::LeftButton, Qt::NoModifier, control.rect().center());
}

void TModalWindow::Type(const QString& name, const QString& text)
{
    QWidget& control = Find<QWidget>(name);
    control.setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
        edit->selectAll();
    }
    QTest::keyClicks(&control, text);
}

namespace {

QModelIndex FindItem(QAbstractItemView& view, const QString& itemText)
{
    QAbstractItemModel* model = view.model();
    for (int row = 0; model != nullptr && row < model->rowCount(view.rootIndex()); ++row) {
        for (int column = 0; column < model->columnCount(view.rootIndex()); ++column) {
            const QModelIndex index = model->index(row, column, view.rootIndex());
            if (model->data(index).toString() == itemText) {
                return index;
            }
        }
    }
    return {};
}

} // namespace

void TModalWindow::DoubleClickItem(const QString& name, const QString& itemText)
{
    auto& view = Find<QAbstractItemView>(name);
    const QModelIndex index = FindItem(view, itemText);
    if (!index.isValid()) {
        throw TDriverError("\"" + name.toStdString() + "\" shows no item \"" + itemText.toStdString() + "\"");
    }
    view.scrollTo(index);
    const QPoint at = view.visualRect(index).center();
    // A double click alone is not taken for one: the view needs the click that comes first.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void TModalWindow::Pick(const QString& name, const QString& itemText)
{
    QWidget& control = Find<QWidget>(name);
    if (auto* combo = qobject_cast<QComboBox*>(&control)) {
        const int index = combo->findText(itemText, Qt::MatchExactly);
        if (index < 0) {
            throw TDriverError("\"" + name.toStdString() + "\" has no item \"" + itemText.toStdString() +
                               "\"");
        }
        combo->setFocus(Qt::OtherFocusReason);
        combo->setCurrentIndex(index);
        // What a choice by the user emits and a change from code does not.
        Q_EMIT combo->activated(index);
        Q_EMIT combo->textActivated(combo->itemText(index));
        return;
    }
    if (auto* view = qobject_cast<QAbstractItemView*>(&control)) {
        const QModelIndex index = FindItem(*view, itemText);
        if (index.isValid()) {
            view->scrollTo(index);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                              view->visualRect(index).center());
            return;
        }
        throw TDriverError("\"" + name.toStdString() + "\" shows no item \"" + itemText.toStdString() + "\"");
    }
    throw TDriverError("\"" + name.toStdString() + "\" is neither a combo box nor a list");
}

void TModalWindow::Key(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr || target->window() != window_) {
        target = window_;
    }
    QTest::keyClick(target, key, modifiers);
}

void TModalWindow::Key(const QString& name, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(&Find<QWidget>(name), key, modifiers);
}

void TModalWindow::ClickButton(const QString& caption)
{
    const QString wanted = WithoutMnemonics(caption);
    const auto buttons = window_->findChildren<QAbstractButton*>();
    for (QAbstractButton* button : buttons) {
        if (button->isVisible() && WithoutMnemonics(button->text()) == wanted) {
            QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
            return;
        }
    }
    throw TDriverError("no visible button \"" + caption.toStdString() + "\" in \"" + Title().toStdString() +
                       "\"");
}

void TModalWindow::Close()
{
    window_->close();
}

// --- the driver ---------------------------------------------------------------------------------------

TModalDriver::TModalDriver(std::chrono::milliseconds watchdog)
    : watchdog_(watchdog)
    , context_(std::make_unique<QObject>())
    , reporter_([](const std::string& message) { ADD_FAILURE() << message; })
{
    QTimer::singleShot(kPollMilliseconds, context_.get(), [this] { Poll(); });
}

TModalDriver::~TModalDriver()
{
    context_.reset(); // ends the polling
    if (!steps_.empty()) {
        Report(std::to_string(steps_.size()) + " modal step(s) never ran: their window did not appear");
    }
}

TModalDriver& TModalDriver::Then(TStep step)
{
    steps_.push_back({std::move(step), false});
    return *this;
}

TModalDriver& TModalDriver::ThenAgain(TStep step)
{
    steps_.push_back({std::move(step), true});
    return *this;
}

void TModalDriver::SetFailureReporter(std::function<void(const std::string&)> reporter)
{
    reporter_ = std::move(reporter);
}

void TModalDriver::Report(const std::string& message)
{
    reporter_(message);
}

bool TModalDriver::Handled(const QWidget* window) const
{
    return std::any_of(handled_.begin(), handled_.end(), [window](const auto& w) { return w == window; });
}

void TModalDriver::ForceClose(QWidget& window)
{
    // Hiding ends a dialog's modal loop whatever its own close logic says.
    window.hide();
}

void TModalDriver::Poll()
{
    // The next poll is queued first: a step may open a nested modal loop, and that loop must be driven too.
    QTimer::singleShot(kPollMilliseconds, context_.get(), [this] { Poll(); });

    // A window counts as handled for one showing only.
    std::erase_if(handled_, [](const auto& w) { return w == nullptr || !w->isVisible(); });

    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) {
        watched_ = nullptr;
        return;
    }
    const auto now = Clock::now();
    // A form whose handler is still finishing (its chooser has just closed, say) is not ready for the
    // next step yet; acting now would interleave the step with that handler.
    const auto* form = qobject_cast<const TForm*>(modal);
    const bool ready = form == nullptr || !form->ShowingModal() || form->WaitingForUser();
    if (ready && !steps_.empty() && (steps_.front().again || !Handled(modal))) {
        Step step = std::move(steps_.front());
        steps_.pop_front();
        ++done_;
        const int number = done_;
        handled_.emplace_back(modal);
        QPointer<QWidget> window(modal);
        // Keys go to the active window's focus widget; a window shown first in a process is not active yet.
        if (!modal->isActiveWindow()) {
            QApplication::setActiveWindow(modal);
        }
        try {
            TModalWindow view(*modal);
            step.action(view);
        } catch (const std::exception& e) {
            Report("modal step " + std::to_string(number) + " on \"" +
                   (window != nullptr ? window->windowTitle().toStdString() : std::string("?")) +
                   "\" failed: " + e.what());
            if (window != nullptr) {
                ForceClose(*window);
            }
        }
        watched_ = window;
        watchedSince_ = Clock::now();
        return;
    }
    if (modal != watched_) {
        watched_ = modal;
        watchedSince_ = now;
        return;
    }
    if (now - watchedSince_ >= watchdog_) {
        const std::string what =
            Handled(modal) ? "is still open after its step" : "appeared with no step for it";
        Report("the modal window \"" + modal->windowTitle().toStdString() + "\" (" +
               modal->metaObject()->className() + ") " + what + "; the watchdog closed it after " +
               std::to_string(watchdog_.count()) + " ms");
        watched_ = nullptr;
        ForceClose(*modal);
    }
}

} // namespace carlume::test
