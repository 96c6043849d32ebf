#include "platform/format_settings.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace carlume {
namespace {

const std::string kEmpty;

const std::string& Entry(const auto& names, int index, int count)
{
    return index >= 1 && index <= count ? names[std::size_t(index - 1)] : kEmpty;
}

bool IsAsciiLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// One piece of a strftime format: a conversion ("%-d" gives conversion 'd' with flag '-') or literal text.
struct Piece {
    bool isConversion = false;
    char conversion = 0;
    char flag = 0;
    std::string literal;
};

std::vector<Piece> SplitStrftime(std::string_view format, const TLangInfo& info, int depth = 0)
{
    std::vector<Piece> pieces;
    auto addLiteral = [&](std::string_view text) {
        if (!pieces.empty() && !pieces.back().isConversion)
            pieces.back().literal += text;
        else
            pieces.push_back(Piece{false, 0, 0, std::string(text)});
    };
    std::size_t i = 0;
    while (i < format.size()) {
        if (format[i] != '%') {
            addLiteral(format.substr(i, 1));
            ++i;
            continue;
        }
        ++i;
        char flag = 0;
        while (i < format.size() && std::strchr("-_0^#", format[i]) != nullptr)
            flag = format[i++];
        while (i < format.size() && format[i] >= '0' && format[i] <= '9')
            ++i;
        if (i < format.size() && (format[i] == 'E' || format[i] == 'O'))
            ++i;
        if (i >= format.size())
            break;
        const char c = format[i++];
        // Composite conversions are expanded so that their parts map one by one.
        std::string_view expansion;
        switch (c) {
        case 'F':
            expansion = "%Y-%m-%d";
            break;
        case 'D':
            expansion = "%m/%d/%y";
            break;
        case 'T':
            expansion = "%H:%M:%S";
            break;
        case 'R':
            expansion = "%H:%M";
            break;
        case 'r':
            expansion = info.TimeFormatAmPm.empty() ? std::string_view("%I:%M:%S %p") : info.TimeFormatAmPm;
            break;
        case 'n':
        case 't':
            addLiteral(" ");
            continue;
        case '%':
            addLiteral("%");
            continue;
        default:
            break;
        }
        if (!expansion.empty()) {
            if (depth < 2) {
                for (auto& piece : SplitStrftime(expansion, info, depth + 1)) {
                    if (piece.isConversion)
                        pieces.push_back(std::move(piece));
                    else
                        addLiteral(piece.literal);
                }
            }
            continue;
        }
        pieces.push_back(Piece{true, c, flag, {}});
    }
    return pieces;
}

bool IsTimeConversion(char c)
{
    return std::strchr("HkIlMSpPZzsT", c) != nullptr;
}

// The pattern letters for one conversion; "" for conversions that have no counterpart.
std::string PatternOf(const Piece& piece)
{
    const bool unpadded = piece.flag == '-';
    switch (piece.conversion) {
    case 'd':
        return unpadded ? "d" : "dd";
    case 'e':
        return "d";
    case 'm':
        return unpadded ? "M" : "MM";
    case 'Y':
    case 'G':
        return "yyyy";
    case 'y':
    case 'g':
        return "yy";
    case 'b':
    case 'h':
        return "MMM";
    case 'B':
        return "MMMM";
    case 'a':
        return "ddd";
    case 'A':
        return "dddd";
    case 'H':
        return unpadded ? "h" : "hh";
    case 'k':
        return "h";
    case 'I':
        return unpadded ? "h" : "hh";
    case 'l':
        return "h";
    case 'M':
        return unpadded ? "n" : "nn";
    case 'S':
        return unpadded ? "s" : "ss";
    case 'p':
    case 'P':
        return "AMPM";
    default:
        return "";
    }
}

// Literal text as pattern text: letters, quotes and non-ASCII bytes go inside quotes so that they are
// never read as pattern letters.
std::string QuoteLiteral(const std::string& text)
{
    std::string out;
    std::string run;
    auto flush = [&] {
        if (!run.empty()) {
            out += '"';
            out += run;
            out += '"';
            run.clear();
        }
    };
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"') {
            flush();
            out += "'\"'";
        } else if (c == '\'') {
            flush();
            out += "\"'\"";
        } else if (IsAsciiLetter(c) || c >= 0x80) {
            run += ch;
        } else {
            flush();
            out += ch;
        }
    }
    flush();
    return out;
}

std::string BuildPattern(const std::vector<Piece>& pieces)
{
    std::string out;
    for (const auto& piece : pieces)
        out += piece.isConversion ? PatternOf(piece) : QuoteLiteral(piece.literal);
    return out;
}

// The first separator between two fields: an ASCII punctuation character (not a blank or a quote).
std::optional<char> FirstSeparator(const std::vector<Piece>& pieces)
{
    for (std::size_t i = 1; i + 1 < pieces.size(); ++i) {
        if (pieces[i].isConversion || !pieces[i - 1].isConversion || !pieces[i + 1].isConversion)
            continue;
        for (const char ch : pieces[i].literal) {
            const auto c = static_cast<unsigned char>(ch);
            if (c > 0x20 && c < 0x7F && !IsAsciiLetter(c) && !(c >= '0' && c <= '9') && c != '"' && c != '\'')
                return ch;
        }
    }
    return std::nullopt;
}

// --- the short date -----------------------------------------------------------------------------------
// Every date the program writes it must read back. The readers take day, month and year as numbers in
// the order month-day-year, day-month-year or year-month-day, one separator between them with blanks
// around it allowed, and at most that separator after them. A locale whose short date is of that form
// keeps it. Any other (names, words, other orders: ja_JP's "%Y年%m月%d日", ar_EG's "%d %b, %Y") gets its
// fields as numbers in the order of the three its first field starts, joined by the first of "/", "."
// and "-" that it uses between them, else by "/", as the regional settings of such a locale have it:
// "yyyy/MM/dd".

struct ShortDate {
    std::string pattern;
    char separator = '/';
};

enum class DateField { None, Day, Month, Year };

DateField FieldOf(char conversion)
{
    switch (conversion) {
    case 'd':
    case 'e':
        return DateField::Day;
    case 'm':
    case 'b':
    case 'h':
    case 'B':
        return DateField::Month;
    case 'y':
    case 'Y':
    case 'g':
    case 'G':
        return DateField::Year;
    default:
        return DateField::None;
    }
}

bool IsNumericField(char conversion)
{
    return FieldOf(conversion) != DateField::None && std::strchr("bhB", conversion) == nullptr;
}

// The order of the fields as the readers take it: the first field decides.
bool IsReadableOrder(const std::vector<DateField>& order)
{
    using enum DateField;
    return order == std::vector{Month, Day, Year} || order == std::vector{Day, Month, Year} ||
           order == std::vector{Year, Month, Day};
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// ':' stands for the time separator in patterns, quotes open literal text: neither can separate a date.
std::optional<char> SeparatorOf(std::string_view literal)
{
    literal = TrimBlanks(literal);
    if (literal.size() != 1)
        return std::nullopt;
    const auto c = static_cast<unsigned char>(literal.front());
    if (c <= 0x20 || c >= 0x7F || IsAsciiLetter(c) || (c >= '0' && c <= '9') ||
        std::strchr("\"':", c) != nullptr)
        return std::nullopt;
    return literal.front();
}

std::optional<ShortDate> ReadableAsItIs(const std::vector<Piece>& pieces)
{
    std::vector<DateField> order;
    std::vector<std::string> gaps{""};
    for (const auto& piece : pieces) {
        if (!piece.isConversion) {
            gaps.back() += piece.literal;
            continue;
        }
        if (!IsNumericField(piece.conversion))
            return std::nullopt;
        order.push_back(FieldOf(piece.conversion));
        gaps.emplace_back();
    }
    if (!IsReadableOrder(order) || !TrimBlanks(gaps[0]).empty())
        return std::nullopt;
    const auto separator = SeparatorOf(gaps[1]);
    if (!separator || SeparatorOf(gaps[2]) != separator ||
        (!TrimBlanks(gaps[3]).empty() && SeparatorOf(gaps[3]) != separator))
        return std::nullopt;
    return ShortDate{BuildPattern(pieces), *separator};
}

ShortDate ReadableShortDate(const std::vector<Piece>& pieces)
{
    if (auto asItIs = ReadableAsItIs(pieces))
        return *asItIs;
    std::map<DateField, std::string> letters;
    DateField first = DateField::None;
    char separator = 0;
    bool century = false;
    for (const auto& piece : pieces) {
        if (!piece.isConversion) {
            const auto at = piece.literal.find_first_of("/.-");
            if (first != DateField::None && letters.size() < 3 && separator == 0 && at != std::string::npos)
                separator = piece.literal[at];
            continue;
        }
        century = century || piece.conversion == 'C';
        const DateField field = FieldOf(piece.conversion);
        if (field == DateField::None || letters.count(field) != 0)
            continue;
        if (first == DateField::None)
            first = field;
        if (field == DateField::Year)
            letters[field] = piece.conversion == 'Y' || piece.conversion == 'G' || century ? "yyyy" : "yy";
        else
            letters[field] = IsNumericField(piece.conversion) ? PatternOf(piece) : "MM";
    }
    if (letters.size() != 3)
        return ShortDate{USFormatSettings().ShortDateFormat, USFormatSettings().DateSeparator};
    if (separator == 0)
        separator = '/';
    const std::string sep(1, separator);
    const std::string& day = letters[DateField::Day];
    const std::string& month = letters[DateField::Month];
    const std::string& year = letters[DateField::Year];
    switch (first) {
    case DateField::Day:
        return ShortDate{day + sep + month + sep + year, separator};
    case DateField::Year:
        return ShortDate{year + sep + month + sep + day, separator};
    default:
        return ShortDate{month + sep + day + sep + year, separator};
    }
}

std::string CollapseBlanks(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        if (c == ' ' && (out.empty() || out.back() == ' '))
            continue;
        out += c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

// The date part of D_T_FMT: time conversions and the literals between them are dropped.
std::string LongDatePattern(const TLangInfo& info)
{
    auto pieces = SplitStrftime(info.DateTimeFormat, info);
    std::vector<Piece> kept;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const auto& piece = pieces[i];
        if (piece.isConversion) {
            if (!IsTimeConversion(piece.conversion) && !PatternOf(piece).empty())
                kept.push_back(piece);
            continue;
        }
        const bool afterTime =
            i > 0 && pieces[i - 1].isConversion && IsTimeConversion(pieces[i - 1].conversion);
        const bool beforeTime =
            i + 1 < pieces.size() && pieces[i + 1].isConversion && IsTimeConversion(pieces[i + 1].conversion);
        if (afterTime && beforeTime)
            continue;
        Piece literal = piece;
        if (afterTime || beforeTime)
            literal.literal = " ";
        if (!kept.empty() && !kept.back().isConversion)
            kept.back().literal += literal.literal;
        else
            kept.push_back(literal);
    }
    std::string pattern = CollapseBlanks(BuildPattern(kept));
    while (!pattern.empty() && pattern.front() == ' ')
        pattern.erase(0, 1);
    return pattern;
}

void CopyNames(auto& target, const auto& source)
{
    for (std::size_t i = 0; i < target.size(); ++i) {
        if (!source[i].empty())
            target[i] = source[i];
    }
}

bool IsCLocale(const std::string& name)
{
    return name.empty() || name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0;
}

std::string ToUtf8(const char* text, const std::string& codeset)
{
    if (text == nullptr)
        return {};
    std::string input(text);
    if (codeset.empty() || codeset == "UTF-8" || codeset == "ANSI_X3.4-1968")
        return input;
    iconv_t cd = iconv_open("UTF-8", codeset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return input;
    std::string output(input.size() * 4 + 4, '\0');
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    const std::size_t done = iconv(cd, &in, &inLeft, &out, &outLeft);
    iconv_close(cd);
    if (done == static_cast<std::size_t>(-1))
        return input;
    output.resize(output.size() - outLeft);
    return output;
}

TLangInfo ReadLangInfo(locale_t loc)
{
    const std::string codeset = nl_langinfo_l(CODESET, loc);
    auto get = [&](nl_item item) { return ToUtf8(nl_langinfo_l(item, loc), codeset); };
    TLangInfo info;
    info.DateFormat = get(D_FMT);
    info.DateTimeFormat = get(D_T_FMT);
    info.TimeFormat = get(T_FMT);
    info.TimeFormatAmPm = get(T_FMT_AMPM);
    info.AmString = get(AM_STR);
    info.PmString = get(PM_STR);
    static const nl_item kAbMon[] = {ABMON_1, ABMON_2, ABMON_3, ABMON_4,  ABMON_5,  ABMON_6,
                                     ABMON_7, ABMON_8, ABMON_9, ABMON_10, ABMON_11, ABMON_12};
    static const nl_item kMon[] = {MON_1, MON_2, MON_3, MON_4,  MON_5,  MON_6,
                                   MON_7, MON_8, MON_9, MON_10, MON_11, MON_12};
#ifdef ALTMON_1
    // The form a month takes when named by itself ("MMMM, yyyy" titles), where the locale has one.
    static const nl_item kAltMon[] = {ALTMON_1, ALTMON_2, ALTMON_3, ALTMON_4,  ALTMON_5,  ALTMON_6,
                                      ALTMON_7, ALTMON_8, ALTMON_9, ALTMON_10, ALTMON_11, ALTMON_12};
#endif
    static const nl_item kAbDay[] = {ABDAY_1, ABDAY_2, ABDAY_3, ABDAY_4, ABDAY_5, ABDAY_6, ABDAY_7};
    static const nl_item kDay[] = {DAY_1, DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7};
    for (std::size_t i = 0; i < 12; ++i) {
        info.AbMon[i] = get(kAbMon[i]);
        info.Mon[i] = get(kMon[i]);
#ifdef ALTMON_1
        const std::string alt = get(kAltMon[i]);
        if (!alt.empty())
            info.Mon[i] = alt;
#endif
    }
    for (std::size_t i = 0; i < 7; ++i) {
        info.AbDay[i] = get(kAbDay[i]);
        info.Day[i] = get(kDay[i]);
    }
    return info;
}

struct Subscribers {
    int nextToken = 1;
    std::map<int, std::function<void()>> callbacks;
};

Subscribers& TheSubscribers()
{
    static Subscribers subscribers;
    return subscribers;
}

TFormatSettings& TheSettings()
{
    static TFormatSettings settings = FormatSettingsForLocale("");
    return settings;
}

void Notify()
{
    // Copy first: a callback may subscribe or unsubscribe.
    const auto callbacks = TheSubscribers().callbacks;
    for (const auto& [token, callback] : callbacks) {
        if (TheSubscribers().callbacks.count(token) != 0 && callback)
            callback();
    }
}

} // namespace

const std::string& TFormatSettings::ShortMonthName(int month) const
{
    return Entry(ShortMonthNames, month, 12);
}

const std::string& TFormatSettings::LongMonthName(int month) const
{
    return Entry(LongMonthNames, month, 12);
}

const std::string& TFormatSettings::ShortDayName(int day) const
{
    return Entry(ShortDayNames, day, 7);
}

const std::string& TFormatSettings::LongDayName(int day) const
{
    return Entry(LongDayNames, day, 7);
}

TFormatSettings USFormatSettings()
{
    return TFormatSettings{};
}

TFormatSettings FormatSettingsFromLangInfo(const TLangInfo& info)
{
    TFormatSettings settings;
    const ShortDate shortDate = ReadableShortDate(SplitStrftime(info.DateFormat, info));
    settings.ShortDateFormat = shortDate.pattern;
    settings.DateSeparator = shortDate.separator;

    const std::string longDate = LongDatePattern(info);
    if (!longDate.empty())
        settings.LongDateFormat = longDate;

    auto timePieces = SplitStrftime(info.TimeFormat, info);
    const std::string longTime = BuildPattern(timePieces);
    if (!longTime.empty()) {
        settings.LongTimeFormat = longTime;
        settings.TimeSeparator = FirstSeparator(timePieces).value_or(':');
        // The short time is the long one without its seconds and the separator before them.
        std::vector<Piece> shortPieces;
        for (const auto& piece : timePieces) {
            if (piece.isConversion && piece.conversion == 'S') {
                if (!shortPieces.empty() && !shortPieces.back().isConversion)
                    shortPieces.pop_back();
                continue;
            }
            shortPieces.push_back(piece);
        }
        settings.ShortTimeFormat = BuildPattern(shortPieces);
    }
    settings.TimeAMString = info.AmString;
    settings.TimePMString = info.PmString;
    CopyNames(settings.ShortMonthNames, info.AbMon);
    CopyNames(settings.LongMonthNames, info.Mon);
    CopyNames(settings.ShortDayNames, info.AbDay);
    CopyNames(settings.LongDayNames, info.Day);
    return settings;
}

std::string EnvironmentTimeLocaleName()
{
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return value;
    }
    return "C";
}

TFormatSettings FormatSettingsForLocale(const std::string& localeName)
{
    const std::string name = localeName.empty() ? EnvironmentTimeLocaleName() : localeName;
    if (IsCLocale(name))
        return USFormatSettings();
    locale_t loc = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, name.c_str(), static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr))
        return USFormatSettings();
    const TLangInfo info = ReadLangInfo(loc);
    freelocale(loc);
    return FormatSettingsFromLangInfo(info);
}

const TFormatSettings& FormatSettings()
{
    return TheSettings();
}

void SetFormatSettings(const TFormatSettings& settings)
{
    TheSettings() = settings;
    Notify();
}

void LoadFormatSettingsFromEnvironment()
{
    SetFormatSettings(FormatSettingsForLocale(""));
}

ScopedFormatSettings::ScopedFormatSettings(const TFormatSettings& settings)
    : saved_(FormatSettings())
{
    SetFormatSettings(settings);
}

ScopedFormatSettings::~ScopedFormatSettings()
{
    SetFormatSettings(saved_);
}

int SubscribeFormatSettingsChanged(std::function<void()> callback)
{
    auto& subscribers = TheSubscribers();
    const int token = subscribers.nextToken++;
    subscribers.callbacks.emplace(token, std::move(callback));
    return token;
}

void UnsubscribeFormatSettingsChanged(int token)
{
    TheSubscribers().callbacks.erase(token);
}

TFormatSettingsSubscription::TFormatSettingsSubscription(std::function<void()> callback)
    : token_(SubscribeFormatSettingsChanged(std::move(callback)))
{
}

TFormatSettingsSubscription::~TFormatSettingsSubscription()
{
    UnsubscribeFormatSettingsChanged(token_);
}

} // namespace carlume
