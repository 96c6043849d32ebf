#pragma once

// The Qt implementations of the desktop services the core sees (platform/services.h).

#include "platform/services.h"

#include <QString>

#include <string>

class QFontMetrics;
class QWidget;

namespace carlume {

/// Message boxes and the input box. Texts are shown as plain text exactly as given ("&" stays "&",
/// tags stay text); line breaks may be CR LF, CR or LF. A message box wraps at blanks, so that an address
/// that fits the box stays on one line; a word wider than the box breaks after a "/", else where its line
/// is full. A box is never larger than the screen's free area: a text too long for it scrolls above the
/// buttons. Ctrl+C copies the box: title, text and buttons between rules. Titles: "Information", "Error",
/// "Warning", "Confirm"; a custom box carries the application name. The boxes belong to the active window.
class TQtDialogService : public IDialogService {
public:
    /// A box with one OK button.
    void ShowMessage(TMsgDlgType type, const std::string& text) override;
    /// Yes is the default button; Esc and the close box answer No.
    bool AskYesNo(const std::string& text) override;
    /// Cancel gives back `defaultValue`.
    std::string InputBox(const std::string& caption, const std::string& prompt,
                         const std::string& defaultValue) override;
};

/// The system clipboard, plain text; line breaks are stored as "\n".
class TQtClipboardService : public IClipboardService {
public:
    /// Replaces the clipboard's text.
    void SetText(const std::string& text) override;
    /// The clipboard's plain text.
    std::string Text() const override;
};

/// Opens files, folders, web addresses and "MailTo:" addresses with the desktop's handlers. An absolute
/// path opens as a local file; other texts are read as a user would type them ("www.x.com" is a web
/// address). With parameters the file is started as a program in `folder`. The show command is ignored.
class TQtShellService : public IShellService {
public:
    /// False when nothing could be opened or started.
    bool Open(const std::string& file, const std::string& parameters, const std::string& folder,
              int showCommand) override;
};

/// The screen cursor as an application-wide override cursor; crDefault removes the override.
class TQtScreenCursorService : public IScreenCursorService {
public:
    /// Removes the override cursor it set.
    ~TQtScreenCursorService() override;
    /// The cursor last set.
    TCursor Cursor() const override;
    void SetCursor(TCursor cursor) override;

private:
    TCursor cursor_ = crDefault;
    bool overriding_ = false;
};

/// The four Qt services together, ready to hand out as `TApplicationServices`.
struct TQtServices {
    /// The services.
    TQtDialogService Dialogs;
    TQtClipboardService Clipboard;
    TQtShellService Shell;
    TQtScreenCursorService ScreenCursor;

    /// Pointers to the services above.
    TApplicationServices Services();
};

/// The text with CR LF and lone CR turned into "\n".
QString NormalizeLineBreaks(const QString& text);

/// The text with invisible marks that make a text wrapped at `lineWidth` pixels of `metrics` break only
/// after blanks and line breaks, so that words (addresses, paths) stay whole: a word joiner (U+2060) at
/// every other place a line could break. A word wider than `lineWidth` gets a zero width space (U+200B)
/// after each "/" it holds and, within a part between them that is still too wide, where a line is full.
QString KeepWordsWhole(const QString& text, const QFontMetrics& metrics, int lineWidth);

} // namespace carlume
