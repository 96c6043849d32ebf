#pragma once

// INI files with the Windows profile rules (see ini_document.h for the format). `TIniFile` goes to the
// file on every call: reads see the file as it is now, a missing or unreadable file reads as empty, and
// each write rewrites the file at once, atomically. `TMemIniFile` reads the file once and keeps changes
// in memory until `UpdateFile`. Each is made with the way its file is written (`TWriteMode`).
//
// A file of `kIniFileSizeLimit` bytes or more (or of the smaller limit an object is made with) is refused
// unread, by its size, as `EFOpenError` with the reason `STooLargeToRead` (`TIniFile` reads it as empty and
// refuses to change it); a write that would make the file that large is refused, the file left as it was, as
// `EFCreateError` with the reason `STooLargeToReadBack` (`TIniFile`: `EIniFileException` with that reason).
//
// Names and values that a line cannot hold (line breaks or NUL anywhere; for keys an empty name, "=", or
// a leading ";" or "[") are refused with `EIniFileException` "Unable to write to <file>. <reason>";
// nothing changes then, in memory or on disk. So are writes to a UTF-16 file, which reads as empty.

#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/ini_document.h"
#include "platform/string_list.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace carlume {

/// "Unable to write to <file>. <reason>", the reason taken from the file error that made a write fail.
EIniFileException IniFileWriteError(const std::string& fileName, const Exception& cause);

/// The operations both INI classes share.
class TCustomIniFile {
public:
    /// An INI file object for `fileName`, written the `mode` way; files of `sizeLimit` bytes or more (at most
    /// `kIniFileSizeLimit`) are neither read nor written.
    TCustomIniFile(std::string fileName, TWriteMode mode, std::uint64_t sizeLimit);
    virtual ~TCustomIniFile() = default;
    TCustomIniFile(const TCustomIniFile&) = delete;
    TCustomIniFile& operator=(const TCustomIniFile&) = delete;

    /// The file's path.
    const std::string& FileName() const { return fileName_; }

    /// The value of a key, possibly empty; `defaultValue` only when the section or key is missing.
    std::string ReadString(std::string_view section, std::string_view ident,
                           std::string_view defaultValue) const;
    /// `ReadString` with an empty default, cut to its first `characters` UTF-8 characters: the rest of a
    /// long value is never copied.
    std::string ReadStringPrefix(std::string_view section, std::string_view ident,
                                 std::size_t characters) const;
    /// The value as a 32-bit integer (decimal, "$" or "0x" hexadecimal); `defaultValue` when missing or
    /// not an integer.
    std::int32_t ReadInteger(std::string_view section, std::string_view ident,
                             std::int32_t defaultValue) const;
    /// `ReadInteger(section, ident, defaultValue ? 1 : 0) != 0`.
    bool ReadBool(std::string_view section, std::string_view ident, bool defaultValue) const;
    /// Sets a key; creates the section, and with `TIniFile` the file, when needed.
    void WriteString(std::string_view section, std::string_view ident, std::string_view value);
    /// Sets a key to the decimal text of `value`.
    void WriteInteger(std::string_view section, std::string_view ident, std::int32_t value);
    /// Sets a key to "1" or "0".
    void WriteBool(std::string_view section, std::string_view ident, bool value);

    /// True when the section exists.
    bool SectionExists(std::string_view section) const;
    /// True when the key exists in the section (even with an empty value).
    bool ValueExists(std::string_view section, std::string_view ident) const;
    /// Clears `strings` and fills it with the key names of the section, in file order.
    void ReadSection(std::string_view section, TStringList& strings) const;
    /// Clears `strings` and fills it with the names of all sections, in file order.
    void ReadSections(TStringList& strings) const;
    /// Clears `strings` and fills it with "key=value" lines of the section.
    void ReadSectionValues(std::string_view section, TStringList& strings) const;
    /// Removes every section of that name with its keys.
    void EraseSection(std::string_view section);
    /// Removes the key (every line of it) from the section.
    void DeleteKey(std::string_view section, std::string_view ident);
    /// Writes pending changes to the file (nothing to do for `TIniFile`).
    virtual void UpdateFile() = 0;

protected:
    /// The document reads work on.
    virtual const TIniDocument& Document() const = 0;
    /// Applies a change (already checked) to the document.
    virtual void Change(const std::function<void(TIniDocument&)>& change) = 0;
    /// Changes the file name (for `TMemIniFile::Rename`).
    void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }
    /// The file's document; a missing file is empty. Raises `EFOpenError` when the file cannot be read.
    TIniDocument Load() const;
    /// Puts the whole document in the file.
    void Save(const TIniDocument& document) const;

private:
    void Check(std::string_view section, std::string_view ident, std::string_view value) const;
    std::string fileName_;
    TWriteMode mode_;
    std::uint64_t sizeLimit_;
};

/// An INI file read and written straight through to disk on every call.
class TIniFile : public TCustomIniFile {
public:
    /// Opens nothing yet: every call reads the file anew.
    TIniFile(std::string fileName, TWriteMode mode, std::uint64_t sizeLimit = kIniFileSizeLimit);
    /// Nothing is pending: every write already went to the file.
    void UpdateFile() override {}

protected:
    const TIniDocument& Document() const override;
    /// Reads the file, changes it and writes it back atomically; any failure raises `EIniFileException`
    /// "Unable to write to <file>. <reason>" and leaves the file as it was.
    void Change(const std::function<void(TIniDocument&)>& change) override;

private:
    mutable TIniDocument cache_;
};

/// An INI file held in memory: read when created, written by `UpdateFile`.
class TMemIniFile : public TCustomIniFile {
public:
    /// Reads the file; a missing file gives empty contents; an unreadable one raises `EFOpenError`, with the
    /// reason `STooLargeForMemory` when it does not fit in memory, `STooLargeToRead` when it is too large.
    TMemIniFile(std::string fileName, TWriteMode mode, std::uint64_t sizeLimit = kIniFileSizeLimit);
    /// Writes the whole contents to the file atomically; raises `EFCreateError` (the reason
    /// `STooLargeForMemory` when the text does not fit in memory, `STooLargeToReadBack` when it would make
    /// the file too large) or `EWriteError`.
    void UpdateFile() override;
    /// Switches to another file name; with `reload` reads that file (a missing file gives empty contents;
    /// a failed read raises `EFOpenError` and leaves the contents as they were).
    void Rename(std::string fileName, bool reload);
    /// Removes all contents (the file is unchanged until `UpdateFile`).
    void Clear();

protected:
    const TIniDocument& Document() const override { return document_; }
    void Change(const std::function<void(TIniDocument&)>& change) override { change(document_); }

private:
    TIniDocument document_;
};

} // namespace carlume
