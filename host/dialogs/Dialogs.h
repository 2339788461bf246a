#pragma once
// Message dialogs in the framework's terms, shown through the widgetset.

#include <cstdint>
#include <string>

#include "host/controls/Controls.h"

namespace vcl {

enum TMsgDlgType : std::uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn : std::uint8_t {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp
};
// A set of TMsgDlgBtn, a bit per member.
using TMsgDlgButtons = std::uint16_t;
constexpr TMsgDlgButtons MsgDlgButton(TMsgDlgBtn B) {
    return static_cast<TMsgDlgButtons>(1u << B);
}

// Shows Msg with the type's caption and icon and the buttons in the set, in the order above, and
// waits until one is pressed; answers its modal result (mrOk for mbOK, ...). OK, else Yes, is the
// default button; Cancel, else No, else OK answers Esc. HelpCtx is passed on to the widgetset.
// An empty set shows OK alone.
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);

// The caption of a dialog type ("Information", ...); the application's title for mtCustom.
std::string MsgDlgCaption(TMsgDlgType DlgType);

} // namespace vcl
