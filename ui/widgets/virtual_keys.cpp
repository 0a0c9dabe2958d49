#include "ui/widgets/virtual_keys.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "ui/key_codes.h"

namespace markola {

int VirtualKeyCode(int qtKey) {
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)) {
        return qtKey;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) {
        return key::kF1 + (qtKey - Qt::Key_F1);
    }
    static constexpr std::pair<int, int> kKeys[] = {
        {Qt::Key_Backspace, key::kBackspace},
        {Qt::Key_Tab, key::kTab},
        {Qt::Key_Return, key::kReturn},
        {Qt::Key_Enter, key::kReturn},
        {Qt::Key_Shift, key::kShift},
        {Qt::Key_Control, key::kControl},
        {Qt::Key_Alt, key::kAlt},
        {Qt::Key_Escape, key::kEscape},
        {Qt::Key_Space, key::kSpace},
        {Qt::Key_PageUp, key::kPageUp},
        {Qt::Key_PageDown, key::kPageDown},
        {Qt::Key_End, key::kEnd},
        {Qt::Key_Home, key::kHome},
        {Qt::Key_Left, key::kLeft},
        {Qt::Key_Up, key::kUp},
        {Qt::Key_Right, key::kRight},
        {Qt::Key_Down, key::kDown},
        {Qt::Key_Insert, key::kInsert},
        {Qt::Key_Delete, key::kDelete},
    };
    const auto* found = std::find_if(std::begin(kKeys), std::end(kKeys),
                                     [qtKey](const auto& entry) { return entry.first == qtKey; });
    return found == std::end(kKeys) ? 0 : found->second;
}

bool IsModifierKey(int keyCode) {
    return keyCode == key::kShift || keyCode == key::kControl || keyCode == key::kAlt;
}

int ShiftMask(Qt::KeyboardModifiers modifiers) {
    return (modifiers.testFlag(Qt::ShiftModifier) ? key::kShiftBit : 0) |
           (modifiers.testFlag(Qt::ControlModifier) ? key::kCtrlBit : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? key::kAltBit : 0);
}

}  // namespace markola
