#pragma once

// The program's exception family. Every error the program raises derives from `Exception`, which carries
// the message the user sees; the classes below are the run-time library's errors that callers meet.

#include "platform/format.h"

#include <exception>
#include <string>
#include <string_view>

namespace carlume {

/// Root of every error the program raises; holds the message shown to the user.
class Exception : public std::exception {
public:
    /// An error with this message.
    explicit Exception(std::string message);
    /// The message.
    const std::string& Message() const noexcept { return message_; }
    /// Replaces the message (for handlers that add context and re-raise).
    void SetMessage(std::string message) { message_ = std::move(message); }
    /// The message, for code that only knows `std::exception`.
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

/// A text could not be converted to a number or a date, or a date could not be encoded or decoded.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

/// Base of the file errors.
class EStreamError : public Exception {
public:
    /// An error with this message and the system's reason (for callers that word their own message).
    explicit EStreamError(std::string message, std::string reason = {});
    /// The system's text for why the operation failed ("Permission denied"); may be "".
    const std::string& Reason() const noexcept { return reason_; }

private:
    std::string reason_;
};

/// A file could not be created (or could not replace the file of that name).
class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

/// A file could not be opened for reading.
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

/// Writing the contents of a file failed after it was created.
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

/// An INI file could not be written.
class EIniFileException : public Exception {
public:
    using Exception::Exception;
};

/// A misuse of a string list (bad index, insert into a sorted list, refused duplicate).
class EStringListError : public Exception {
public:
    using Exception::Exception;
};

/// An operation that a class leaves to its descendants was called.
class EAbstractError : public Exception {
public:
    /// The error with the run-time library's text "Abstract Error".
    EAbstractError();
};

/// A system call failed; carries the `errno` value.
class EOSError : public Exception {
public:
    /// An error with this message and `errno` value.
    EOSError(std::string message, int errorCode);
    /// The `errno` value of the failed call.
    int ErrorCode() const noexcept { return errorCode_; }

private:
    int errorCode_;
};

/// Builds an exception of type `E` whose message is `Format(pattern, args...)`.
template <class E = Exception, class... Args> E CreateFmt(std::string_view pattern, const Args&... args)
{
    return E(Format(pattern, args...));
}

// The run-time library's message texts, as patterns for `Format`.
inline constexpr std::string_view SInvalidInteger = "'%s' is not a valid integer value";
inline constexpr std::string_view SInvalidFloat = "'%s' is not a valid floating point value";
inline constexpr std::string_view SInvalidDate = "'%s' is not a valid date";
inline constexpr std::string_view SInvalidTime = "'%s' is not a valid time";
inline constexpr std::string_view SInvalidDateTime = "'%s' is not a valid date and time";
inline constexpr std::string_view SDateEncodeError = "Invalid argument to date encode";
inline constexpr std::string_view STimeEncodeError = "Invalid argument to time encode";
/// Our own text for a date value that is no calendar date (NaN, infinite or outside years 1 to 9999).
inline constexpr std::string_view SDateDecodeError = "Invalid argument to date decode";
inline constexpr std::string_view SFCreateError = "Cannot create file \"%s\". %s";
inline constexpr std::string_view SFOpenError = "Cannot open file \"%s\". %s";
/// Our own text for a failure while writing a file that was created.
inline constexpr std::string_view SWriteError = "Cannot write file \"%s\". %s";
inline constexpr std::string_view SIniFileWriteError = "Unable to write to %s";
/// The reason of a file error when the file does not fit in memory.
inline constexpr std::string_view STooLargeForMemory = "The file is too large for the memory available";
/// The reason of a file error when the file is larger than its reader can hold, whatever the memory: it is
/// refused by its size, unread.
inline constexpr std::string_view STooLargeToRead = "The file is too large to read";
/// The reason of a file error when a write would make the file larger than its reader can hold.
inline constexpr std::string_view STooLargeToReadBack = "The file would grow too large to read back";
inline constexpr std::string_view SListIndexError = "List index out of bounds (%d)";
inline constexpr std::string_view SSortedListError = "Operation not allowed on sorted list";
inline constexpr std::string_view SDuplicateString = "String list does not allow duplicates";
inline constexpr std::string_view SAbstractError = "Abstract Error";
inline constexpr std::string_view SInvalidFormat = "Format '%s' invalid or incompatible with argument";
inline constexpr std::string_view SArgumentMissing = "No argument for format '%s'";

/// True for the reason of a file error that tells the file is, or would be, too large to hold (for the memory
/// available, to read, or to read back), rather than that the file could not be reached.
inline bool TooLargeToHold(std::string_view reason)
{
    return reason == STooLargeForMemory || reason == STooLargeToRead || reason == STooLargeToReadBack;
}

} // namespace carlume
