#include "tests/support/fake_carquery_ui.h"

namespace carlume::test {

TFakeCarqueryUi::TFakeCarqueryUi()
    : dialogs_(*this)
{
}

TApplicationServices TFakeCarqueryUi::Services()
{
    TApplicationServices services = Fakes.Services();
    services.Dialogs = &dialogs_;
    return services;
}

bool TFakeCarqueryUi::RunLookupWindowModal(TVehicleInfoLookup& lookup, TVinRecord& record)
{
    if (NoDisplay)
        throw ENoDisplay("The lookup window cannot be shown.", NoDisplayReason);
    if (LookupWindowRuns++ == 0)
        MessagesBeforeWindow = int(Fakes.Dialogs.Requests().size());
    return LookupWindow ? LookupWindow(lookup, record) : false;
}

std::unique_ptr<IVehicleDetailWindow> TFakeCarqueryUi::CreateVehicleDetailWindow()
{
    if (NoDisplay)
        throw ENoDisplay("The list of matching vehicles cannot be shown.", NoDisplayReason);
    return Choosers.CreateVehicleDetailWindow();
}

void TFakeCarqueryUi::TDialogs::ShowMessage(TMsgDlgType type, const std::string& text)
{
    if (owner_.NoDisplay)
        throw ENoDisplay(text, NoDisplayReason);
    if (owner_.OnMessage)
        owner_.OnMessage(type, text);
    owner_.Fakes.Dialogs.ShowMessage(type, text);
}

bool TFakeCarqueryUi::TDialogs::AskYesNo(const std::string& text)
{
    if (owner_.NoDisplay)
        throw ENoDisplay(text, NoDisplayReason);
    return owner_.Fakes.Dialogs.AskYesNo(text);
}

std::string TFakeCarqueryUi::TDialogs::InputBox(const std::string& caption, const std::string& prompt,
                                                const std::string& defaultValue)
{
    if (owner_.NoDisplay)
        throw ENoDisplay(prompt, NoDisplayReason);
    return owner_.Fakes.Dialogs.InputBox(caption, prompt, defaultValue);
}

} // namespace carlume::test
