#pragma once

// Windows-style virtual-key codes, as the key handlers see them, and the bits of their shift
// state. The controller tests them and the window makes them from the toolkit's keys, so
// both take them from here.
namespace markola::key {

inline constexpr int kBackspace = 8;
inline constexpr int kTab = 9;
inline constexpr int kReturn = 13;
inline constexpr int kShift = 16;
inline constexpr int kControl = 17;
inline constexpr int kAlt = 18;
inline constexpr int kEscape = 27;
inline constexpr int kSpace = 32;
inline constexpr int kPageUp = 33;
inline constexpr int kPageDown = 34;
inline constexpr int kEnd = 35;
inline constexpr int kHome = 36;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kInsert = 45;
inline constexpr int kDelete = 46;
inline constexpr int kA = 65;
inline constexpr int kN = 78;
inline constexpr int kR = 82;
inline constexpr int kS = 83;
inline constexpr int kF1 = 112;

inline constexpr int kShiftBit = 1;
inline constexpr int kCtrlBit = 2;
inline constexpr int kAltBit = 4;
// What the shortcuts ask for: Ctrl, with neither Shift nor Alt.
inline constexpr int kCtrlOnly = kCtrlBit;

}  // namespace markola::key
