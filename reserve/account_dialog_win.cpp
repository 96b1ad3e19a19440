#include "reserve/account_dialog_win.h"

#include "resources/resource.h"
#include "store/dialog_state_win.h"
#include "store/window_text_win.h"

namespace corvane {

namespace {

constexpr const char* kAccountCaption = "アカウントの設定";
constexpr const char* kReenterPasswordText = "パスワードを再入力して下さい。";

struct AccountDialogState {
    std::string* account;
    std::string* password;
};

INT_PTR CALLBACK accountDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = dialogState<AccountDialogState>(dialog, message, lParam);
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_ACCOUNT_NAME, state->account->c_str());
        SetDlgItemTextA(dialog, IDC_ACCOUNT_PASSWORD, state->password->c_str());
        SetDlgItemTextA(dialog, IDC_ACCOUNT_PASSWORD_CONFIRM, state->password->c_str());
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && state) {
            const std::string password = dialogItemText(dialog, IDC_ACCOUNT_PASSWORD);
            if (password != dialogItemText(dialog, IDC_ACCOUNT_PASSWORD_CONFIRM)) {
                MessageBoxA(dialog, kReenterPasswordText, kAccountCaption, MB_OK | MB_ICONWARNING);
                // Both emptied, the first ready for typing.
                SetDlgItemTextA(dialog, IDC_ACCOUNT_PASSWORD, "");
                SetDlgItemTextA(dialog, IDC_ACCOUNT_PASSWORD_CONFIRM, "");
                SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_ACCOUNT_PASSWORD)),
                             TRUE);
                return TRUE;
            }
            *state->account = dialogItemText(dialog, IDC_ACCOUNT_NAME);
            *state->password = password;
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

}  // namespace

int runAccountDialog(HWND owner, std::string& account, std::string& password) {
    AccountDialogState state{&account, &password};
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ACCOUNT), owner,
                                           accountDialogProc, reinterpret_cast<LPARAM>(&state));
    return result == IDOK ? IDOK : IDCANCEL;
}

}  // namespace corvane
