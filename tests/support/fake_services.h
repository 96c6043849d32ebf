#pragma once

// Scriptable fakes of the desktop services (platform/services.h) for tests. Each keeps a record of every
// request; questions take their answers from a queue, and a question nobody scripted an answer for fails
// the running test.

#include "platform/services.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace carlume::test {

/// One request made of the dialog service.
struct TDialogRequest {
    /// Which method was called.
    enum class TKind { Message, YesNo, Input };
    /// The call.
    TKind Kind = TKind::Message;
    /// The message type; mtConfirmation for a yes/no question, mtCustom for an input box.
    TMsgDlgType Type = TMsgDlgType::mtCustom;
    /// The message or question, or the input box's prompt.
    std::string Text;
    /// The input box's caption.
    std::string Caption;
    /// The input box's default text.
    std::string Default;
};

class TFakeDialogService : public IDialogService {
public:
    /// Fails the test when answers were scripted but never asked for.
    ~TFakeDialogService() override;

    /// Records the message.
    void ShowMessage(TMsgDlgType type, const std::string& text) override;
    /// The next queued yes/no answer; unscripted: a test failure, and No.
    bool AskYesNo(const std::string& text) override;
    /// The next queued input; unscripted: a test failure, and the default (as Cancel).
    std::string InputBox(const std::string& caption, const std::string& prompt,
                         const std::string& defaultValue) override;

    /// Answers the next yes/no question.
    void QueueYesNo(bool answer);
    /// The next input box returns this text, as if typed and confirmed.
    void QueueInput(std::string text);
    /// The next input box is cancelled (it returns its default).
    void QueueInputCancel();
    /// Answers scripted and not yet asked for.
    std::size_t PendingAnswers() const { return yesNo_.size() + inputs_.size(); }

    /// Every request, in order.
    const std::vector<TDialogRequest>& Requests() const { return requests_; }
    /// The texts of the messages of one type, in order.
    std::vector<std::string> Messages(TMsgDlgType type) const;
    /// Forgets the requests and the answers not yet used.
    void Clear();

private:
    std::vector<TDialogRequest> requests_;
    std::deque<bool> yesNo_;
    std::deque<std::optional<std::string>> inputs_;
};

class TFakeClipboardService : public IClipboardService {
public:
    /// Stores the text and records the write.
    void SetText(const std::string& text) override;
    /// The text last set.
    std::string Text() const override { return text_; }
    /// Every text written, in order.
    const std::vector<std::string>& Writes() const { return writes_; }

private:
    std::string text_;
    std::vector<std::string> writes_;
};

/// One request made of the shell service.
struct TShellRequest {
    /// The arguments of the call.
    std::string File;
    std::string Parameters;
    std::string Folder;
    int ShowCommand = 0;
};

class TFakeShellService : public IShellService {
public:
    /// Records the request and returns the next queued result; true when none is queued (no caller
    /// looks at it).
    bool Open(const std::string& file, const std::string& parameters, const std::string& folder,
              int showCommand) override;
    /// The result of the next Open.
    void QueueResult(bool opened) { results_.push_back(opened); }
    /// Every request, in order.
    const std::vector<TShellRequest>& Requests() const { return requests_; }

private:
    std::vector<TShellRequest> requests_;
    std::deque<bool> results_;
};

class TFakeScreenCursorService : public IScreenCursorService {
public:
    /// The cursor last set.
    TCursor Cursor() const override { return cursor_; }
    /// Sets the cursor and records it.
    void SetCursor(TCursor cursor) override;
    /// Every cursor set, in order.
    const std::vector<TCursor>& History() const { return history_; }

private:
    TCursor cursor_ = crDefault;
    std::vector<TCursor> history_;
};

class TFakeLogService : public ILogService {
public:
    /// Records the line.
    void Log(const std::string& message) override { lines_.push_back(message); }
    /// Every line logged, in order.
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

/// The fakes together.
struct TFakeServices {
    /// The fakes.
    TFakeDialogService Dialogs;
    TFakeClipboardService Clipboard;
    TFakeShellService Shell;
    TFakeScreenCursorService ScreenCursor;
    TFakeLogService Logger;

    /// Pointers to the fakes above.
    TApplicationServices Services();
};

} // namespace carlume::test
