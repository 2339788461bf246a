#pragma once
// Qt's input and text in the framework's terms: the one place where Qt's key codes, buttons and
// modifiers meet the virtual keys and shift states that forms take.

#include <string>
#include <string_view>

#include <QtCore/qnamespace.h>

#include "host/controls/Controls.h"

namespace vcl::qt::detail {

// Shift, Alt and Ctrl from the modifiers, ssLeft, ssRight and ssMiddle from the buttons held.
TShiftState ShiftState(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons);
// False for a button the framework has no name for (the side buttons).
bool MouseButton(Qt::MouseButton Button, TMouseButton& Out);
// The virtual key a form takes for a Qt key, or 0 for one it takes no interest in. Backtab
// arrives as Tab with ssShift added to Shift, as a keyboard gives it.
TKey VirtualKey(int QtKey, TShiftState& Shift);
// Every line break of the framework's texts (CR LF, LF CR, CR or LF alone) as one LF.
std::string NormaliseLineBreaks(std::string_view Text);

} // namespace vcl::qt::detail
