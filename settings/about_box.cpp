#include "settings/about_box.h"

#include "platform/exceptions.h"

#include <string>

namespace carlume {

void ShowAboutBox(const TAboutBoxProperties&, const TApplicationServices&)
{
    throw Exception(std::string(AboutBoxUnavailableMessage));
}

} // namespace carlume
