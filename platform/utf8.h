#pragma once

// UTF-8 texts counted and shown character by character. It needs the run-time libraries alone: the program's
// launcher compiles it too, to show a path in its message before any library of the program is loaded.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace carlume {

/// What `DecodeUtf8` adds to a byte that starts no valid character.
inline constexpr std::uint32_t kInvalidBase = 0x200000;

/// The code point at byte `i`, advancing `i` past it; a byte that starts no valid character decodes as
/// itself plus `kInvalidBase` and advances by one.
std::uint32_t DecodeUtf8(std::string_view s, std::size_t& i);
/// The number of characters of a UTF-8 text; a byte that starts no valid character counts as one.
std::size_t Utf8Length(std::string_view s);
/// The cells a character takes in a fixed-width font: two for an East Asian wide or fullwidth character,
/// one for any other (combining marks, and what `DecodeUtf8` gives for invalid bytes, included).
int CharacterWidth(std::uint32_t cp);
/// The cells a UTF-8 text takes in a fixed-width font, `CharacterWidth` of each character.
std::size_t Utf8Width(std::string_view s);
/// The first `characters` characters of a UTF-8 text, counted as `Utf8Length` counts them.
std::string_view Utf8Prefix(std::string_view s, std::size_t characters);
/// An outside text (a switch, a file name, a value read from a file) as it goes into a log line or a
/// message: each control character written out, "\t", "\n" and "\r" for TAB, LF and CR, "\x1B" for the
/// other bytes below 0x20 and DEL, "\u0085" for the C1 controls and the line and paragraph separators of
/// the UTF-8 text; every other byte as it is.
std::string VisibleControls(std::string_view s);

} // namespace carlume
