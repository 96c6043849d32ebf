#pragma once

// No exception may cross Qt's event loop (Qt's widget code is built without exception support). Every
// event handler of ours therefore runs inside this guard, which shows an error the way the class
// library's default error display does, an error message box with the exception's message, and lets
// the window carry on.

#include <QMetaObject>
#include <QObject>

#include <exception>
#include <string>
#include <type_traits>
#include <utility>

namespace carlume {

class IDialogService;

/// Where errors caught by the guard are shown. Null, the default, shows them in a Qt message box.
void SetHandlerErrorDialogs(IDialogService* dialogs);
/// The service set with `SetHandlerErrorDialogs`, or null.
IDialogService* HandlerErrorDialogs();

/// Shows an error caught in an event handler: an error message with `message` as its text. Never throws;
/// an error raised while another is on screen is not shown, so that boxes do not pile up.
void ShowHandlerError(const std::string& message) noexcept;

/// The text shown for an exception that is not a std::exception.
inline constexpr const char* kUnknownErrorText = "An unexpected error occurred";

/// How many guarded handlers are running right now, nested ones included. A form's modal result takes
/// effect only when none is.
int RunningHandlers() noexcept;

namespace detail {
/// Counts a running handler for `RunningHandlers`.
class THandlerScope {
public:
    THandlerScope() noexcept;
    ~THandlerScope();
    THandlerScope(const THandlerScope&) = delete;
    THandlerScope& operator=(const THandlerScope&) = delete;
};
} // namespace detail

/// Runs `handler`; an exception it raises is shown with `ShowHandlerError` and goes no further.
/// Returns true when the handler ran through without one.
template <class F> bool RunGuarded(F&& handler) noexcept
{
    const detail::THandlerScope scope;
    try {
        std::forward<F>(handler)();
        return true;
    } catch (const std::exception& e) {
        ShowHandlerError(e.what());
    } catch (...) {
        ShowHandlerError(kUnknownErrorText);
    }
    return false;
}

namespace detail {
template <class F, class Signature> struct GuardedCallable;

template <class F, class C, class R, class... A> struct GuardedCallable<F, R (C::*)(A...) const> {
    static auto Make(F f)
    {
        return [f = std::move(f)](A... args) { RunGuarded([&] { f(std::forward<A>(args)...); }); };
    }
};

template <class F, class C, class R, class... A> struct GuardedCallable<F, R (C::*)(A...)> {
    static auto Make(F f)
    {
        return [f = std::move(f)](A... args) mutable { RunGuarded([&] { f(std::forward<A>(args)...); }); };
    }
};
} // namespace detail

/// A slot that calls `method` on `receiver` inside the guard, taking the same arguments as the method.
template <class Object, class Class, class R, class... A>
auto Guarded(Object* receiver, R (Class::*method)(A...))
{
    return
        [receiver, method](A... args) { RunGuarded([&] { (receiver->*method)(std::forward<A>(args)...); }); };
}

/// The same for a const method.
template <class Object, class Class, class R, class... A>
auto Guarded(const Object* receiver, R (Class::*method)(A...) const)
{
    return
        [receiver, method](A... args) { RunGuarded([&] { (receiver->*method)(std::forward<A>(args)...); }); };
}

/// A slot that calls the (non-generic) lambda or function object inside the guard.
template <class F> auto Guarded(F function)
{
    return detail::GuardedCallable<F, decltype(&F::operator())>::Make(std::move(function));
}

/// Connects a signal to a method of `receiver` so that an exception in the method is shown, never passed
/// to Qt. The connection ends with the receiver.
template <class Sender, class Signal, class Receiver, class Method>
requires std::is_member_function_pointer_v<Method> QMetaObject::Connection
ConnectGuarded(const Sender* sender, Signal signal, Receiver* receiver, Method method)
{
    return QObject::connect(sender, signal, receiver, Guarded(receiver, method));
}

/// Connects a signal to a lambda inside the guard; the connection ends with `context`.
template <class Sender, class Signal, class Function>
requires(!std::is_member_function_pointer_v<Function>) QMetaObject::Connection
    ConnectGuarded(const Sender* sender, Signal signal, const QObject* context, Function function)
{
    return QObject::connect(sender, signal, context, Guarded(std::move(function)));
}

} // namespace carlume
