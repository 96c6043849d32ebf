#pragma once

// Whether Qt will find a platform it can open. Constructing the application on a platform that cannot be
// opened ends the process on the spot (no log, no clean-up), so the UI module asks first.

#include <string>

namespace carlume {

/// True when a platform Qt would try can be opened: a platform that needs no display (offscreen, vnc ...),
/// an X server that accepts a connection, or a Wayland socket with Qt's Wayland plug-in installed.
/// Otherwise false, with the reason in `reason` when it is given.
bool DisplayAvailable(std::string* reason = nullptr);

} // namespace carlume
