// Qt's keys, buttons, modifiers and line breaks read as the framework's.
#include "host/qt/detail/Input.h"

namespace vcl::qt::detail {

TShiftState ShiftState(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons) {
    TShiftState s = 0;
    if (Modifiers & Qt::ShiftModifier)
        s |= ShiftBit(ssShift);
    if (Modifiers & Qt::AltModifier)
        s |= ShiftBit(ssAlt);
    if (Modifiers & Qt::ControlModifier)
        s |= ShiftBit(ssCtrl);
    if (Buttons & Qt::LeftButton)
        s |= ShiftBit(ssLeft);
    if (Buttons & Qt::RightButton)
        s |= ShiftBit(ssRight);
    if (Buttons & Qt::MiddleButton)
        s |= ShiftBit(ssMiddle);
    return s;
}

bool MouseButton(Qt::MouseButton Button, TMouseButton& Out) {
    switch (Button) {
    case Qt::LeftButton:
        Out = mbLeft;
        return true;
    case Qt::RightButton:
        Out = mbRight;
        return true;
    case Qt::MiddleButton:
        Out = mbMiddle;
        return true;
    default:
        return false;
    }
}

TKey VirtualKey(int QtKey, TShiftState& Shift) {
    // Qt numbers letters and digits by their upper-case ASCII codes, as the framework does.
    if ((QtKey >= Qt::Key_A && QtKey <= Qt::Key_Z) || (QtKey >= Qt::Key_0 && QtKey <= Qt::Key_9))
        return static_cast<TKey>(QtKey);
    switch (QtKey) {
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_Tab:
        return VK_TAB;
    case Qt::Key_Backtab:
        Shift |= ShiftBit(ssShift);
        return VK_TAB;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Backspace:
        return VK_BACK;
    default:
        return 0;
    }
}

std::string NormaliseLineBreaks(std::string_view Text) {
    std::string out;
    out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const char c = Text[i];
        if (c != '\r' && c != '\n') {
            out += c;
            continue;
        }
        // A CR and an LF together, either way round, are one break; two alike are two.
        if (i + 1 < Text.size() && (Text[i + 1] == '\r' || Text[i + 1] == '\n') && Text[i + 1] != c)
            ++i;
        out += '\n';
    }
    return out;
}

} // namespace vcl::qt::detail
