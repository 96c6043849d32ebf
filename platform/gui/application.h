#pragma once

#include <QApplication>

namespace carlume {

/// The application object of the windows. Handlers run inside the error guard; as a last resort an
/// exception that still reaches the event loop is shown here instead of ending the program.
class TApplication : public QApplication {
public:
    /// Creates the application and sets the fixed font substitutions.
    TApplication(int& argc, char** argv);

    /// Delivers the event; an exception that escaped a handler is shown, not passed on.
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace carlume
