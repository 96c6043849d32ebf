#pragma once

// The About box: the one way into it from the rest of the program. The lookup window fills the properties
// and calls `ShowAboutBox`; the box only reads them.

#include "foundation/shared_values.h"
#include "platform/services.h"

#include <string_view>

namespace carlume {

/// The error `ShowAboutBox` raises while this build has no About box.
inline constexpr std::string_view AboutBoxUnavailableMessage =
    "The About box is not available in this build.";

/// Shows the About box modally with `properties` (owned by the caller, which frees them once this returns,
/// also when it raises); the box reaches the desktop through `services`. This build has no About box yet:
/// it raises `Exception` with `AboutBoxUnavailableMessage`.
void ShowAboutBox(const TAboutBoxProperties& properties, const TApplicationServices& services);

} // namespace carlume
