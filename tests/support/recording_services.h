#pragma once

// Scriptable stand-ins for the desktop services: they record what the program asks for and give the
// answers a test sets.

#include "platform/services.h"

#include <functional>
#include <string>
#include <vector>

namespace carlume::test {

/// Shows nothing: records every message and answers questions from a script.
class RecordingDialogs : public IDialogService {
public:
    struct Shown {
        TMsgDlgType Type;
        std::string Text;
        bool operator==(const Shown&) const = default;
    };

    void ShowMessage(TMsgDlgType type, const std::string& text) override
    {
        Messages.push_back({type, text});
        if (OnShow)
            OnShow();
    }
    bool AskYesNo(const std::string& text) override
    {
        Messages.push_back({TMsgDlgType::mtConfirmation, text});
        if (OnShow)
            OnShow();
        return Answer;
    }
    std::string InputBox(const std::string& caption, const std::string& prompt,
                         const std::string& defaultValue) override
    {
        Messages.push_back({TMsgDlgType::mtCustom, caption + "|" + prompt});
        return InputAnswer.empty() ? defaultValue : InputAnswer;
    }

    std::vector<Shown> Messages;
    /// Runs while a dialog is "open" (after it was recorded); may raise to stand for a failing dialog.
    std::function<void()> OnShow;
    bool Answer = false;
    std::string InputAnswer;
};

/// A screen cursor that remembers every cursor set.
class RecordingCursor : public IScreenCursorService {
public:
    explicit RecordingCursor(TCursor initial = crDefault)
        : current(initial)
    {
    }
    TCursor Cursor() const override { return current; }
    void SetCursor(TCursor cursor) override
    {
        current = cursor;
        History.push_back(cursor);
    }

    TCursor current;
    std::vector<TCursor> History;
};

/// Records what it is asked to open and answers with `Result`.
class RecordingShell : public IShellService {
public:
    struct Request {
        std::string File;
        std::string Parameters;
        std::string Folder;
        int ShowCommand;
        bool operator==(const Request&) const = default;
    };

    bool Open(const std::string& file, const std::string& parameters, const std::string& folder,
              int showCommand) override
    {
        Requests.push_back({file, parameters, folder, showCommand});
        return Result;
    }

    std::vector<Request> Requests;
    bool Result = true;
};

} // namespace carlume::test
