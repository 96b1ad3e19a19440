#include "app/file_open_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstring>
#include <ctime>
#include <vector>

#include "app/load_flow.h"
#include "resources/resource.h"
#include "store/data_file.h"
#include "store/dialog_state_win.h"
#include "store/epg_file.h"
#include "store/over_owner_win.h"

namespace corvane {

namespace {

constexpr UINT kProgressStartDelay = 500;
constexpr int kMessagesPerReport = 1000;
// The queue is looked at this often during a read, not at every block of
// it: each look is a round trip to the window system (under Wine one to its
// server, and an empty queue gives the processor away), which over the
// thousand blocks of a 1 GB recording added more than the read itself.
constexpr ULONGLONG kPumpIntervalMs = 50;
constexpr size_t kOpenBufferSize = 5200;

const char kOpenFilter[] =
    "EPGファイル(*.ts;*.dat)\0*.ts;*.dat\0EPGデータファイル(*.dat)\0*.dat\0tsファイル(*.ts)\0*.ts\0すべてのファイル(*.*)\0*.*\0";
const char kSaveFilter[] = "EPGデータファイル(*.dat)\0*.dat\0";

// The dialog's side of a transport-stream read.
class ProgressDialog : public ProgressSink {
public:
    ProgressDialog(AppState& app, const std::string& path) : app_(app), path_(path) {}

    static INT_PTR CALLBACK proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = dialogState<ProgressDialog>(dialog, message, lParam);
        if (message == WM_INITDIALOG) {
            self->dialog_ = dialog;
            self->init();
            return TRUE;
        }
        if (!self) return FALSE;
        switch (message) {
            case WM_TIMER:
                if (wParam == TIMER_PROGRESS_START) {
                    self->read();
                    return TRUE;
                }
                break;
            case WM_COMMAND:
                if (LOWORD(wParam) == IDCANCEL) {
                    self->askToStop();
                    return TRUE;
                }
                break;
        }
        return FALSE;
    }

    bool reportProgress(int64_t done, int64_t total) override {
        const int64_t second = static_cast<int64_t>(std::time(nullptr));
        if (second != lastDisplay_) {
            lastDisplay_ = second;
            SetDlgItemTextA(dialog_, IDC_PROGRESS_SIZE, progressText(done, total).c_str());
            SendDlgItemMessageA(dialog_, IDC_PROGRESS_BAR, PBM_SETPOS, progressPercent(done, total), 0);
        }
        if (done == total) {
            SendDlgItemMessageA(dialog_, IDC_PROGRESS_BAR, PBM_SETPOS, 100, 0);
            EndDialog(dialog_, stop_ ? 2 : 1);
        } else if (const ULONGLONG now = GetTickCount64(); now - lastPump_ < kPumpIntervalMs) {
            return !stop_;
        } else {
            lastPump_ = now;
        }
        MSG msg;
        for (int i = 0; i < kMessagesPerReport && PeekMessageA(&msg, dialog_, 0, 0, PM_REMOVE); ++i) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return !stop_;
    }

private:
    void init() {
        RECT rect;
        GetWindowRect(dialog_, &rect);
        const int left = (GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2;
        const int top = (GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2;
        SetWindowPos(dialog_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SetDlgItemTextA(dialog_, IDC_PROGRESS_FILE, fileNameOf(path_).c_str());
        SetDlgItemTextA(dialog_, IDC_PROGRESS_SIZE, "");
        SendDlgItemMessageA(dialog_, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SendDlgItemMessageA(dialog_, IDC_PROGRESS_BAR, PBM_SETPOS, 0, 0);
        SetTimer(dialog_, TIMER_PROGRESS_START, kProgressStartDelay, nullptr);
    }

    void read() {
        KillTimer(dialog_, TIMER_PROGRESS_START);
        stop_ = false;  // a stop asked before the read began is forgotten
        ++app_.readsRunning;
        auto& reader = loadHooks().readTransportStream;
        if (reader)
            reader(app_.store.get(), path_.c_str(), this);
        else
            loadEpgFile(app_.store.get(), path_.c_str(), this);
        --app_.readsRunning;
        app_.readFinished();
    }

    void askToStop() {
        auto& confirm = loadHooks().confirmStop;
        bool yes = confirm ? confirm(dialog_)
                           : MessageBoxA(dialog_, "ファイルの読み込みを中断しますか？", "中断",
                                         MB_ICONQUESTION | MB_YESNO) == IDYES;
        if (yes) stop_ = true;
    }

    AppState& app_;
    std::string path_;
    HWND dialog_ = nullptr;
    bool stop_ = false;
    int64_t lastDisplay_ = 0;
    ULONGLONG lastPump_ = 0;  // GetTickCount64 of the last look at the queue
};

}  // namespace

LoadHooks& loadHooks() {
    static LoadHooks hooks;
    return hooks;
}

INT_PTR runProgressDialog(AppState& app, const std::string& path) {
    ProgressDialog dialog(app, path);
    return DialogBoxParamA(app.instance, MAKEINTRESOURCEA(IDD_PROGRESS), app.mainWindow, ProgressDialog::proc,
                           reinterpret_cast<LPARAM>(&dialog));
}

bool loadFile(AppState& app, const std::string& path) {
    switch (sniffEpgFile(path.c_str())) {
        case EpgFileKind::unreadable:
            return true;  // skipped without a word
        case EpgFileKind::transportStream:
            // Read inside the progress dialog, which can stop it.
            if (!app.store || runProgressDialog(app, path) == 2) return false;
            break;
        case EpgFileKind::dataFile:
            loadEpgFile(app.store.get(), path.c_str(), nullptr);
            break;
    }
    if (hasDataFileExtension(path)) app.lastDataFile = path;
    return true;
}

bool openFilesWithDialog(AppState& app) {
    std::vector<char> buffer(kOpenBufferSize, '\0');
    std::strncpy(buffer.data(), app.lastDataFile.c_str(), buffer.size() - 1);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = app.mainWindow;
    ofn.lpstrFilter = kOpenFilter;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrTitle = "EPGデータファイルを開く";
    ofn.lpstrDefExt = "dat";
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
    if (OpensOverOwner over(app.mainWindow); !GetOpenFileNameA(&ofn)) return false;
    for (const std::string& path : selectedPaths(buffer.data(), buffer.size()))
        if (!loadFile(app, path)) break;
    return true;
}

void saveDataFileAs(AppState& app) {
    char path[MAX_PATH] = {};
    std::strncpy(path, app.lastDataFile.c_str(), sizeof path - 1);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = app.mainWindow;
    ofn.lpstrFilter = kSaveFilter;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrTitle = "名前を付けて保存";
    ofn.lpstrDefExt = "dat";
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
    if (OpensOverOwner over(app.mainWindow); !GetSaveFileNameA(&ofn) || !app.store) return;
    if (!writeDataFile(path, *app.store))
        MessageBoxA(app.mainWindow, "保存に失敗しました。", "名前を付けて保存", MB_ICONERROR | MB_OK);
}

}  // namespace corvane
