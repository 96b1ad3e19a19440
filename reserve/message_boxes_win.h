// Message boxes of MessageBoxA over one owner window.
#pragma once

#include <windows.h>

#include "reserve/message_boxes.h"

namespace corvane {

class WindowMessageBoxes final : public MessageBoxes {
public:
    explicit WindowMessageBoxes(HWND owner = nullptr) : owner_(owner) {}
    void setOwner(HWND owner) { owner_ = owner; }

    int show(const std::string& text, const std::string& caption, unsigned style) override {
        return MessageBoxA(owner_, text.c_str(), caption.c_str(), style);
    }

private:
    HWND owner_;
};

}  // namespace corvane
