#include "components/ui_str_utils.h"

namespace carlume {

bool StrHasOnlyChars(std::string_view s, std::string_view chars)
{
    return s.find_first_not_of(chars) == std::string_view::npos;
}

std::string ReplaceAllOf(std::string_view s, std::string_view search, std::string_view replacement)
{
    if (search.empty())
        return std::string(s);
    std::string result;
    std::size_t from = 0;
    for (std::size_t at = s.find(search); at != std::string_view::npos; at = s.find(search, from)) {
        result.append(s.substr(from, at - from)).append(replacement);
        from = at + search.size();
    }
    result.append(s.substr(from));
    return result;
}

std::string RepeatChar(char c, int count)
{
    return count < 1 ? std::string() : std::string(std::size_t(count), c);
}

} // namespace carlume
