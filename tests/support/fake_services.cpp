#include "tests/support/fake_services.h"

#include <gtest/gtest.h>

namespace carlume::test {

TFakeDialogService::~TFakeDialogService()
{
    if (PendingAnswers() != 0) {
        ADD_FAILURE() << "the dialog fake still holds " << PendingAnswers()
                      << " scripted answer(s) that no window asked for";
    }
}

void TFakeDialogService::ShowMessage(TMsgDlgType type, const std::string& text)
{
    requests_.push_back({TDialogRequest::TKind::Message, type, text, {}, {}});
}

bool TFakeDialogService::AskYesNo(const std::string& text)
{
    requests_.push_back({TDialogRequest::TKind::YesNo, TMsgDlgType::mtConfirmation, text, {}, {}});
    if (yesNo_.empty()) {
        ADD_FAILURE() << "unscripted yes/no question: \"" << text << "\"";
        return false;
    }
    const bool answer = yesNo_.front();
    yesNo_.pop_front();
    return answer;
}

std::string TFakeDialogService::InputBox(const std::string& caption, const std::string& prompt,
                                         const std::string& defaultValue)
{
    requests_.push_back({TDialogRequest::TKind::Input, TMsgDlgType::mtCustom, prompt, caption, defaultValue});
    if (inputs_.empty()) {
        ADD_FAILURE() << "unscripted input box \"" << caption << "\": \"" << prompt << "\"";
        return defaultValue;
    }
    std::optional<std::string> answer = std::move(inputs_.front());
    inputs_.pop_front();
    return answer ? *answer : defaultValue;
}

void TFakeDialogService::QueueYesNo(bool answer)
{
    yesNo_.push_back(answer);
}

void TFakeDialogService::QueueInput(std::string text)
{
    inputs_.emplace_back(std::move(text));
}

void TFakeDialogService::QueueInputCancel()
{
    inputs_.emplace_back(std::nullopt);
}

std::vector<std::string> TFakeDialogService::Messages(TMsgDlgType type) const
{
    std::vector<std::string> texts;
    for (const auto& request : requests_) {
        if (request.Kind == TDialogRequest::TKind::Message && request.Type == type) {
            texts.push_back(request.Text);
        }
    }
    return texts;
}

void TFakeDialogService::Clear()
{
    requests_.clear();
    yesNo_.clear();
    inputs_.clear();
}

void TFakeClipboardService::SetText(const std::string& text)
{
    text_ = text;
    writes_.push_back(text);
}

bool TFakeShellService::Open(const std::string& file, const std::string& parameters,
                             const std::string& folder, int showCommand)
{
    requests_.push_back({file, parameters, folder, showCommand});
    if (results_.empty()) {
        return true;
    }
    const bool opened = results_.front();
    results_.pop_front();
    return opened;
}

void TFakeScreenCursorService::SetCursor(TCursor cursor)
{
    cursor_ = cursor;
    history_.push_back(cursor);
}

TApplicationServices TFakeServices::Services()
{
    TApplicationServices services;
    services.Dialogs = &Dialogs;
    services.Clipboard = &Clipboard;
    services.Shell = &Shell;
    services.ScreenCursor = &ScreenCursor;
    services.Logger = &Logger;
    return services;
}

} // namespace carlume::test
