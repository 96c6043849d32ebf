#pragma once

// Who and where the program runs: user, computer and domain names, from local sources only (no network
// look-ups, which could hang start-up). Tests replace the provider with ScopedIdentityProvider.

#include <functional>
#include <string>
#include <string_view>

namespace carlume {

/// The three names; each may be empty.
struct TMachineIdentity {
    std::string UserName;
    std::string ComputerName;
    std::string UserDomain;
    bool operator==(const TMachineIdentity&) const = default;
};

/// Supplies the names; may raise (an `Exception`) when the system cannot tell them.
using TIdentityProvider = std::function<TMachineIdentity()>;

/// Names from the system: the user from the password database (then $USER, $LOGNAME); the computer is the
/// host name up to its first "."; the domain the rest of the host name, else the NIS domain unless it is
/// empty or "(none)". Raises `EOSError` when the host name cannot be read.
TMachineIdentity SystemMachineIdentity();
/// Computer and domain parts of a host name and NIS domain name, by the rules above.
void SplitHostName(std::string_view hostName, std::string_view nisDomain, std::string& computer,
                   std::string& domain);
/// The names from the current provider (the system unless a test replaced it).
TMachineIdentity MachineIdentity();

/// Replaces the identity provider for its lifetime (tests).
class ScopedIdentityProvider {
public:
    /// A provider that calls `provider`.
    explicit ScopedIdentityProvider(TIdentityProvider provider);
    /// A provider that always gives `identity`.
    explicit ScopedIdentityProvider(TMachineIdentity identity);
    ~ScopedIdentityProvider();
    ScopedIdentityProvider(const ScopedIdentityProvider&) = delete;
    ScopedIdentityProvider& operator=(const ScopedIdentityProvider&) = delete;

private:
    TIdentityProvider saved_;
};

} // namespace carlume
