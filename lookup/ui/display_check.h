#pragma once

// Whether Qt will find a platform it can open. Constructing the application on a platform that cannot be
// opened ends the process on the spot (no log, no clean-up), so the UI module asks first.

#include <string>

namespace carlume {

/// The check's connection to the X server, kept open until Qt has its own: an X server resets (or ends)
/// when its last client leaves, and would then refuse Qt, which ends the process.
class THeldDisplay {
public:
    THeldDisplay() = default;
    /// Closes the connection.
    ~THeldDisplay();
    THeldDisplay(const THeldDisplay&) = delete;
    THeldDisplay& operator=(const THeldDisplay&) = delete;

    /// Keeps `connection`, to be closed by `disconnect` (a connection held before is closed first).
    void Hold(void* connection, void (*disconnect)(void*));
    /// Closes the connection held, if any.
    void Release();
    /// True while a connection is held.
    bool Holding() const { return connection_ != nullptr; }

private:
    void* connection_ = nullptr;
    void (*disconnect_)(void*) = nullptr;
};

/// True when a platform Qt would try can be opened: a platform that needs no display (offscreen, vnc ...),
/// an X server that accepts a connection, or a Wayland socket with Qt's Wayland plug-in installed.
/// Otherwise false, with the reason in `reason` when it is given. With `hold`, an X connection that
/// succeeded stays open there.
bool DisplayAvailable(std::string* reason = nullptr, THeldDisplay* hold = nullptr);

} // namespace carlume
