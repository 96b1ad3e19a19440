// The account a capture-tool job runs under (dialog 413, "アカウントの設定"):
// an account name and a password typed twice. What is entered serves the
// registration under way; it is never written to the settings file.
#pragma once

#include <windows.h>

#include <string>

#include "reserve/task_registration.h"

namespace corvane {

// Runs dialog 413 modally on `owner`, showing `account` and `password`.
// IDOK (1) when OK was pressed with the two passwords equal: both are then
// replaced by what was entered. IDCANCEL (2) leaves them as they were.
int runAccountDialog(HWND owner, std::string& account, std::string& password);

// The account prompt of the task registration: dialog 413 over its owner.
class WindowAccountPrompt final : public AccountPrompt {
public:
    explicit WindowAccountPrompt(HWND owner) : owner_(owner) {}
    bool ask(std::string& account, std::string& password) override {
        return runAccountDialog(owner_, account, password) == IDOK;
    }

private:
    HWND owner_;
};

}  // namespace corvane
