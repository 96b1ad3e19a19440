// Message boxes that are not shown: each is recorded, and answered with the
// answer set beforehand.
#pragma once

#include <string>
#include <vector>

#include "reserve/message_boxes.h"

namespace corvane {

class RecordingMessageBoxes : public MessageBoxes {
public:
    struct Box {
        std::string text;
        std::string caption;
        unsigned style;
        bool operator==(const Box&) const = default;
    };
    std::vector<Box> shown;
    int answer = message_box::idOk;

    int show(const std::string& text, const std::string& caption, unsigned style) override {
        shown.push_back({text, caption, style});
        return answer;
    }
};

// The box of a TvRock command that could not be sent.
inline const RecordingMessageBoxes::Box tvRockFailureBox{"コマンド送信に失敗しました", "TvRock登録",
                                                         message_box::ok | message_box::iconInformation};

}  // namespace corvane
