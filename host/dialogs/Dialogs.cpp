// Message dialogs: the framework's types, buttons and captions turned into a widgetset request.
#include "host/dialogs/Dialogs.h"

#include <array>

#include "host/controls/WidgetSet.h"

namespace vcl {

namespace {
struct TButtonText {
    const char* Caption;
    TModalResult Result;
};
// In TMsgDlgBtn order. Help answers nothing of its own: it shows help and the dialog stays.
constexpr std::array<TButtonText, 11> ButtonTexts{{
    {"&Yes", mrYes},
    {"&No", mrNo},
    {"OK", mrOk},
    {"Cancel", mrCancel},
    {"&Abort", mrAbort},
    {"&Retry", mrRetry},
    {"&Ignore", mrIgnore},
    {"&All", mrAll},
    {"N&o to All", mrNoToAll},
    {"Yes to &All", mrYesToAll},
    {"&Help", mrNone},
}};

TMessageIcon IconOf(TMsgDlgType Type) {
    switch (Type) {
    case mtWarning:
        return TMessageIcon::Warning;
    case mtError:
        return TMessageIcon::Error;
    case mtInformation:
        return TMessageIcon::Information;
    case mtConfirmation:
        return TMessageIcon::Question;
    case mtCustom:
        break;
    }
    return TMessageIcon::None;
}
} // namespace

std::string MsgDlgCaption(TMsgDlgType DlgType) {
    switch (DlgType) {
    case mtWarning:
        return "Warning";
    case mtError:
        return "Error";
    case mtInformation:
        return "Information";
    case mtConfirmation:
        return "Confirm";
    case mtCustom:
        break;
    }
    return "Lumivex";
}

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
    if ((Buttons & ((1u << ButtonTexts.size()) - 1)) == 0)
        Buttons = MsgDlgButton(mbOK);
    TMessageBoxRequest request;
    request.Caption = MsgDlgCaption(DlgType);
    request.Text = Msg;
    request.Icon = IconOf(DlgType);
    request.HelpContext = HelpCtx;
    int ok = -1, yes = -1, cancel = -1, no = -1;
    for (std::size_t b = 0; b < ButtonTexts.size(); ++b) {
        if (!(Buttons & (1u << b)))
            continue;
        const int index = static_cast<int>(request.Buttons.size());
        request.Buttons.push_back({ButtonTexts[b].Caption, ButtonTexts[b].Result});
        switch (b) {
        case mbOK:
            ok = index;
            break;
        case mbYes:
            yes = index;
            break;
        case mbCancel:
            cancel = index;
            break;
        case mbNo:
            no = index;
            break;
        default:
            break;
        }
    }
    request.DefaultButton = ok >= 0 ? ok : yes >= 0 ? yes : 0;
    request.EscapeButton = cancel >= 0 ? cancel : no >= 0 ? no : ok;
    return WidgetSet().MessageBox(request);
}

} // namespace vcl
