#pragma once

// The services through which the program reaches the desktop: message boxes, the clipboard, the shell and
// the screen cursor, and the program's log. The core only sees these interfaces; the Qt implementations live
// in platform/gui and are created by the UI module, and tests pass scriptable fakes.

#include <string>

namespace carlume {

/// Kinds of message dialog, in the class library's order.
enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

/// Screen cursor identifiers, with the class library's values.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crArrow = -2;
constexpr TCursor crHourGlass = -11;

class IDialogService {
public:
    virtual ~IDialogService() = default;
    /// A message dialog of the given kind with one OK button; the text is shown exactly as given.
    virtual void ShowMessage(TMsgDlgType type, const std::string& text) = 0;
    /// A confirmation dialog with Yes and No; true only when the user chose Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    /// The input box: returns the text entered, or `defaultValue` when the user cancels.
    virtual std::string InputBox(const std::string& caption, const std::string& prompt,
                                 const std::string& defaultValue) = 0;
};

class IClipboardService {
public:
    virtual ~IClipboardService() = default;
    /// Puts plain text on the clipboard.
    virtual void SetText(const std::string& text) = 0;
    /// The clipboard's plain text, "" when it holds none.
    virtual std::string Text() const = 0;
};

class IShellService {
public:
    virtual ~IShellService() = default;
    /// Opens a file, folder, web address or "MailTo:" address with its default handler. `showCommand`
    /// is the Windows show command the caller asked for. Returns false when nothing could be opened.
    virtual bool Open(const std::string& file, const std::string& parameters, const std::string& folder,
                      int showCommand) = 0;
};

class IScreenCursorService {
public:
    virtual ~IScreenCursorService() = default;
    /// The cursor currently shown over every window of the program.
    virtual TCursor Cursor() const = 0;
    virtual void SetCursor(TCursor cursor) = 0;
};

class ILogService {
public:
    virtual ~ILogService() = default;
    /// Adds a line to the program's log; nothing happens while logging is off.
    virtual void Log(const std::string& message) = 0;
};

/// The services a run works with, handed down from the entry point (or a test) to whoever needs them.
struct TApplicationServices {
    IDialogService* Dialogs = nullptr;
    IClipboardService* Clipboard = nullptr;
    IShellService* Shell = nullptr;
    IScreenCursorService* ScreenCursor = nullptr;
    ILogService* Logger = nullptr;
};

} // namespace carlume
