// Message boxes as a seam: the system shows them over their owner window,
// tests see the text, the caption and the style and answer them.
#pragma once

#include <string>

namespace corvane {

// Styles and answers carry the values of the Win32 MessageBox constants.
namespace message_box {
inline constexpr unsigned ok = 0x0;
inline constexpr unsigned okCancel = 0x1;
inline constexpr unsigned yesNo = 0x4;
inline constexpr unsigned iconError = 0x10;
inline constexpr unsigned iconQuestion = 0x20;
inline constexpr unsigned iconWarning = 0x30;
inline constexpr unsigned iconInformation = 0x40;

inline constexpr int idOk = 1;
inline constexpr int idCancel = 2;
inline constexpr int idYes = 6;
inline constexpr int idNo = 7;
}  // namespace message_box

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows a modal box (Shift_JIS texts) and answers the button pressed.
    virtual int show(const std::string& text, const std::string& caption, unsigned style) = 0;
};

}  // namespace corvane
