#pragma once

// Table-driven test cases that carry a `Name` print as that name in test output. The printer sits in the
// unnamed namespace of carlume::test, where the test files declare their cases, so that lookup finds it.

#include <ostream>
#include <string>
#include <string_view>

namespace carlume::test {
namespace {

template <class T>
requires requires(const T& c)
{
    c.Name;
}
void PrintTo(const T& c, std::ostream* os)
{
    *os << c.Name;
}

/// The row's name for INSTANTIATE_TEST_SUITE_P.
[[maybe_unused]] const auto ByName = [](const auto& row) { return row.param.Name; };

} // namespace

/// A row name made from a text of the row: letters, digits and '_' stay, blanks and punctuation become words
/// and any other byte "x" and its hex code ("3/4" -> "3Slash4", " -7" -> "BlankMinus7", "" -> "Empty"), so
/// that rows which differ in one character keep different names.
inline std::string Spelled(std::string_view text)
{
    if (text.empty())
        return "Empty";
    static constexpr struct {
        char Char;
        const char* Word;
    } kWords[] = {{' ', "Blank"}, {'\t', "Tab"},      {'\r', "CR"},    {'\n', "LF"},   {'/', "Slash"},
                  {'\\', "Back"}, {'-', "Minus"},     {'+', "Plus"},   {'.', "Dot"},   {',', "Comma"},
                  {':', "Colon"}, {';', "Semicolon"}, {'=', "Eq"},     {'&', "Amp"},   {'$', "Dollar"},
                  {'%', "Pct"},   {'"', "Quote"},     {'\'', "Apos"},  {'(', "Open"},  {')', "Close"},
                  {'[', "LBr"},   {']', "RBr"},       {'<', "Lt"},     {'>', "Gt"},    {'#', "Hash"},
                  {'*', "Star"},  {'?', "Query"},     {'!', "Bang"},   {'@', "At"},    {'|', "Bar"},
                  {'~', "Tilde"}, {'^', "Caret"},     {'{', "LBrace"}, {'}', "RBrace"}};
    std::string name;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
            c == '_') {
            name += c;
            continue;
        }
        const char* word = nullptr;
        for (const auto& entry : kWords)
            if (entry.Char == c)
                word = entry.Word;
        if (!word) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            name += 'x';
            name += kHex[byte >> 4];
            name += kHex[byte & 15];
        } else {
            name += word;
        }
    }
    return name;
}

} // namespace carlume::test
