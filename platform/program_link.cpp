#include "platform/program_link.h"

#include "platform/utf8.h"

#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <vector>

namespace carlume {

namespace {

// `SNoProgramFolder` with its two places filled.
std::string NoProgramFolder(const std::string& link, const std::string& reason)
{
    std::string text(SNoProgramFolder);
    std::size_t at = 0;
    for (const std::string* value : {&link, &reason}) {
        at = text.find("%s", at);
        text.replace(at, 2, *value);
        at += value->size();
    }
    return text;
}

} // namespace

std::string ReadProgramLink(const std::string& link, std::string& failure)
{
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = ::readlink(link.c_str(), buffer.data(), buffer.size());
        if (length < 0) {
            failure = NoProgramFolder(VisibleControls(link), std::system_category().message(errno));
            return {};
        }
        if (std::size_t(length) < buffer.size()) {
            std::string path(buffer.data(), std::size_t(length));
            if (path.empty() || path.front() != '/') {
                failure = NoProgramFolder(VisibleControls(link),
                                          "it names the relative path " + VisibleControls(path));
                return {};
            }
            return path;
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace carlume
