#include "platform/paths.h"

namespace carlume {

std::string IncludeTrailingPathDelimiter(std::string_view path)
{
    std::string out(path);
    if (!out.empty() && out.back() != PathDelim)
        out += PathDelim;
    return out;
}

std::string ExcludeTrailingPathDelimiter(std::string_view path)
{
    std::string out(path);
    while (out.size() > 1 && out.back() == PathDelim)
        out.pop_back();
    return out;
}

std::string ExtractFilePath(std::string_view fileName)
{
    const auto slash = fileName.rfind(PathDelim);
    return slash == std::string_view::npos ? std::string() : std::string(fileName.substr(0, slash + 1));
}

std::string ExtractFileDir(std::string_view fileName)
{
    const auto slash = fileName.rfind(PathDelim);
    if (slash == std::string_view::npos)
        return {};
    if (slash == 0)
        return "/";
    return std::string(fileName.substr(0, slash));
}

std::string ExtractFileName(std::string_view fileName)
{
    const auto slash = fileName.rfind(PathDelim);
    return std::string(slash == std::string_view::npos ? fileName : fileName.substr(slash + 1));
}

std::string ExtractFileExt(std::string_view fileName)
{
    const auto slash = fileName.rfind(PathDelim);
    const auto dot = fileName.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return std::string(fileName.substr(dot));
}

std::string ChangeFileExt(std::string_view fileName, std::string_view extension)
{
    const auto slash = fileName.rfind(PathDelim);
    const auto dot = fileName.rfind('.');
    std::string out(fileName);
    if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash))
        out.resize(dot);
    out += extension;
    return out;
}

} // namespace carlume
