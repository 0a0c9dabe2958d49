#pragma once

#include <Qt>

namespace markola {

// The key code a handler sees for a Qt key: letters and digits as their capitals'
// character codes, the arrows 37 to 40, the function keys from 112 and so on; 0 for a
// key without one.
int VirtualKeyCode(int qtKey);

// Shift, Ctrl or Alt on its own: the start of a shortcut, no key of its own.
bool IsModifierKey(int keyCode);

// The shift-state bit mask of the key handlers: 1 Shift, 2 Ctrl, 4 Alt.
int ShiftMask(Qt::KeyboardModifiers modifiers);

}  // namespace markola
