// A stand-in e-mail plug-in written in C++ that fails by throwing an exception of its own type, for the
// bridge's tests: $TSCEMAIL_THROW names the entry point that throws (tscEmailStart, tscEmailStop or
// tscTSCSendEmail). Like the C plug-in it appends its calls to tscemail.log in $CARLUME_OUTBOX ("start",
// "send", "stop"); it writes no message. Built without unique symbols, so that unloading it really unmaps
// its code, the destructor and the type information of what it threw included.

#include "settings/tscemail_abi.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace standin {

// Deliberately unrelated to std::exception, and with a destructor of its own.
class PluginFailure {
public:
    explicit PluginFailure(std::string where)
        : where_("the stand-in plug-in failed in " + std::move(where))
    {
    }
    ~PluginFailure() { where_.clear(); }
    PluginFailure(const PluginFailure&) = default;
    PluginFailure& operator=(const PluginFailure&) = default;

private:
    std::string where_;
};

void Enter(const char* entry, const char* journalLine)
{
    if (const char* outbox = std::getenv("CARLUME_OUTBOX"))
        std::ofstream(std::string(outbox) + "/tscemail.log", std::ios::app) << journalLine << '\n';
    const char* throwing = std::getenv("TSCEMAIL_THROW");
    if (throwing && std::string(throwing) == entry)
        throw PluginFailure(entry);
}

} // namespace standin

using standin::Enter;

extern "C" {

TSCEMAIL_EXPORT void tscEmailStart(uintptr_t)
{
    Enter("tscEmailStart", "start");
}

TSCEMAIL_EXPORT void tscEmailStop(void)
{
    Enter("tscEmailStop", "stop");
}

TSCEMAIL_EXPORT int tscBopSendEmail(void)
{
    return 0;
}

TSCEMAIL_EXPORT int tscTSCSendEmail(const char*, const char*, const char*, const char*, const char*,
                                    const char*)
{
    Enter("tscTSCSendEmail", "send");
    return 1;
}
}
