#pragma once

#include <Qt>

// The button and modifier codes that mouse notifications carry:
// buttons left 1, right 2, middle 4; modifiers Shift 1, Ctrl 2, Alt 4 (added together).
namespace mouse {

inline constexpr int kLeft = 1;
inline constexpr int kRight = 2;
inline constexpr int kMiddle = 4;
inline constexpr int kShift = 1;
inline constexpr int kCtrl = 2;
inline constexpr int kAlt = 4;

// Pointer shapes a grid can show.
inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerSizeNS = 7;

// Code of one button (the one pressed or released).
inline int buttonCode(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton:
        return kLeft;
    case Qt::RightButton:
        return kRight;
    case Qt::MiddleButton:
        return kMiddle;
    default:
        return 0;
    }
}

// Code of the held modifier keys.
inline int shiftCode(Qt::KeyboardModifiers m) {
    return (m.testFlag(Qt::ShiftModifier) ? kShift : 0) |
           (m.testFlag(Qt::ControlModifier) ? kCtrl : 0) | (m.testFlag(Qt::AltModifier) ? kAlt : 0);
}

} // namespace mouse
