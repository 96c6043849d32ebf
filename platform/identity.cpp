#include "platform/identity.h"

#include "platform/exceptions.h"
#include "platform/files.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>
#include <vector>

namespace carlume {
namespace {

TIdentityProvider& TheProvider()
{
    static TIdentityProvider provider;
    return provider;
}

std::string UserNameFromSystem()
{
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* result = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result != nullptr &&
        result->pw_name != nullptr && *result->pw_name != '\0')
        return result->pw_name;
    for (const char* variable : {"USER", "LOGNAME"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return value;
    }
    return {};
}

} // namespace

void SplitHostName(std::string_view hostName, std::string_view nisDomain, std::string& computer,
                   std::string& domain)
{
    const auto dot = hostName.find('.');
    computer = std::string(hostName.substr(0, dot));
    if (dot != std::string_view::npos && dot + 1 < hostName.size())
        domain = std::string(hostName.substr(dot + 1));
    else if (!nisDomain.empty() && nisDomain != "(none)")
        domain = std::string(nisDomain);
    else
        domain.clear();
}

TMachineIdentity SystemMachineIdentity()
{
    TMachineIdentity identity;
    identity.UserName = UserNameFromSystem();
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) {
        const int error = errno;
        throw EOSError("gethostname: " + SysErrorMessage(error), error);
    }
    char nis[256] = {};
    if (getdomainname(nis, sizeof nis - 1) != 0)
        nis[0] = '\0';
    SplitHostName(host, nis, identity.ComputerName, identity.UserDomain);
    return identity;
}

TMachineIdentity MachineIdentity()
{
    const auto& provider = TheProvider();
    return provider ? provider() : SystemMachineIdentity();
}

ScopedIdentityProvider::ScopedIdentityProvider(TIdentityProvider provider)
    : saved_(std::exchange(TheProvider(), std::move(provider)))
{
}

ScopedIdentityProvider::ScopedIdentityProvider(TMachineIdentity identity)
    : ScopedIdentityProvider(TIdentityProvider([identity] { return identity; }))
{
}

ScopedIdentityProvider::~ScopedIdentityProvider()
{
    TheProvider() = std::move(saved_);
}

} // namespace carlume
