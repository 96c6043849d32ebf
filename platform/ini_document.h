#pragma once

// The text of an INI file as the INI classes hold it: every line is kept as it was read, so comments,
// unknown lines and untouched sections are written back byte for byte; only lines that a change touches
// are rewritten (as "key=value").
//
// Reading: a UTF-8 byte-order mark at the start is skipped (and written back); lines end at CR LF, LF or a
// lone CR; each line is trimmed of bytes <= 0x20; an empty line or one starting with ";" is a comment; a
// line "[name]" starts a section (name trimmed; text after the last "]" is ignored); inside a section a
// line with "=" is a key (name before the first "=", value after it, both trimmed); anything else is kept
// and ignored. Lines before the first section belong to none. Section and key names compare without regard to
// ASCII case; the first section of a name is the one that is read and written, and in it the first key of a
// name.
//
// A file that starts with a UTF-16 byte-order mark is kept as it is: it reads as empty and cannot be
// changed (`Rewritable` is false), so that it is never rewritten as something else.
//
// Writing: a changed key is rewritten in place; a new key goes right after the last key of its section
// (or after the header); a new section goes at the end of the file. Every line ends with CR LF.
//
// The file's bytes are held once and nothing is kept per line: a line is its place in them, and a changed
// or new line is kept beside them. A look-up reads the lines; once look-ups have read the text a few times
// over, an index of sections and keys is built, which answers every later one at once. A file read, changed
// in a few keys and written back so costs little more than its size, in memory and in time.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace carlume {

/// A document keeps its lines as 31-bit places in the file's bytes: a file of this many bytes or more cannot
/// be held, however much memory there is. Such a file is refused by its size, and a change that would write
/// one is refused, so that every file written can be read back.
inline constexpr std::uint64_t kIniFileSizeLimit = std::uint64_t(1) << 31;

/// The lines of an INI file with the section and key structure read from them.
class TIniDocument {
public:
    /// An empty document.
    TIniDocument();
    ~TIniDocument();
    TIniDocument(TIniDocument&& other) noexcept;
    TIniDocument& operator=(TIniDocument&& other) noexcept;

    /// The document of a file's bytes; never fails, whatever the bytes (but memory, and `kIniFileSizeLimit`
    /// bytes or more, which raise `std::bad_alloc`).
    static TIniDocument Parse(std::string_view bytes);
    /// The same, taking the bytes over: they are the only copy of the lines the document holds.
    static TIniDocument FromBytes(std::string bytes);
    /// The file's bytes: the lines, each ended by CR LF, after the byte-order mark if the file had one.
    std::string Serialize() const;
    /// The same, or nothing when they would be `limit` bytes or more (measured before anything is built).
    std::optional<std::string> SerializeUnder(std::uint64_t limit) const;

    /// False for a document that must not be changed (a UTF-16 file).
    bool Rewritable() const;
    /// True when a section of that name exists.
    bool SectionExists(std::string_view section) const;
    /// The value of a key, in the document's own bytes (valid until the document changes), or nothing when
    /// the section or key is missing.
    std::optional<std::string_view> FindView(std::string_view section, std::string_view key) const;
    /// Names of all sections in file order, each name once (as first spelled).
    std::vector<std::string> SectionNames() const;
    /// Names of the keys of a section in file order, each once (as first spelled).
    std::vector<std::string> KeyNames(std::string_view section) const;

    /// Why a section name cannot be stored (a line break or NUL byte); "" when it can.
    static std::string CheckSection(std::string_view section);
    /// Why a key name cannot be stored (a line break or NUL byte, empty, "=", a leading ";" or "["); "" when
    /// it can.
    static std::string CheckKey(std::string_view key);
    /// Why a value cannot be stored (a line break or NUL byte); "" when it can.
    static std::string CheckValue(std::string_view value);

    /// Sets a key (creating the section when needed). Texts that the checks above refuse change nothing.
    void Write(std::string_view section, std::string_view key, std::string_view value);
    /// Removes every line of that key from every section of that name.
    void DeleteKey(std::string_view section, std::string_view key);
    /// Removes every section of that name with all its lines.
    void EraseSection(std::string_view section);
    /// Removes everything.
    void Clear();

private:
    struct Store;
    std::unique_ptr<Store> store_;
};

} // namespace carlume
