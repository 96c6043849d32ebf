#include "settings/xml_utils.h"

namespace carlume {
namespace {

std::string_view DropLeadingSlash(std::string_view path)
{
    if (!path.empty() && path.front() == '/')
        path.remove_prefix(1);
    return path;
}

} // namespace

std::string IncludeTrailingSlash(std::string_view path)
{
    std::string result(path);
    if (result.empty() || result.back() != '/')
        result += '/';
    return result;
}

std::string FirstPathSegment(std::string_view path)
{
    path = DropLeadingSlash(path);
    const auto slash = path.find('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string RemainingPath(std::string_view path)
{
    path = DropLeadingSlash(path);
    const auto slash = path.find('/');
    return slash == std::string_view::npos ? std::string(path) : std::string(path.substr(slash + 1));
}

void SplitPath(std::string_view path, std::string& first, std::string& rest)
{
    const std::string withSlash = IncludeTrailingSlash(path);
    first = FirstPathSegment(withSlash);
    rest = RemainingPath(withSlash);
}

} // namespace carlume
