#pragma once
// Records every text the main window's status line is given, in order, through a
// hook on the window's thread; `probe` (when set) runs in the hook for each text,
// on the window thread, so a test can look at the program's state at that moment.
#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/ui/UiDriver.h"

namespace ui {

class StatusRecorder {
public:
    explicit StatusRecorder(HWND main, std::function<void(const std::wstring&)> probe = nullptr)
        : probe_(std::move(probe)) {
        self_ = this;
        status_ = GetDlgItem(main, IDC_STATUS);
        hook_ = SetWindowsHookExW(WH_CALLWNDPROC, Proc, nullptr, GetWindowThreadProcessId(main, nullptr));
    }
    ~StatusRecorder() {
        UnhookWindowsHookEx(hook_);
        self_ = nullptr;
    }
    StatusRecorder(const StatusRecorder&) = delete;
    StatusRecorder& operator=(const StatusRecorder&) = delete;

    std::vector<std::wstring> Texts() {
        std::lock_guard<std::mutex> lock(lock_);
        return texts_;
    }
    size_t Size() {
        std::lock_guard<std::mutex> lock(lock_);
        return texts_.size();
    }
    // Waits until `text` was shown at or after position `from`.
    bool WaitSaw(const std::wstring& text, size_t from = 0, int ms = 10000) {
        return WaitUntil([&] { return Find(text, from) >= 0; }, ms);
    }
    // Position of the first `text` at or after `from`; -1 when not shown.
    long Find(const std::wstring& text, size_t from = 0) {
        std::lock_guard<std::mutex> lock(lock_);
        for (size_t i = from; i < texts_.size(); ++i)
            if (texts_[i] == text) return static_cast<long>(i);
        return -1;
    }

private:
    static LRESULT CALLBACK Proc(int code, WPARAM wp, LPARAM lp) {
        auto* cw = reinterpret_cast<CWPSTRUCT*>(lp);
        if (code == HC_ACTION && self_ && cw->message == WM_SETTEXT && cw->hwnd == self_->status_) {
            std::wstring text = reinterpret_cast<const wchar_t*>(cw->lParam);
            if (self_->probe_) self_->probe_(text);
            std::lock_guard<std::mutex> lock(self_->lock_);
            self_->texts_.push_back(text);
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    static inline StatusRecorder* self_ = nullptr;
    std::function<void(const std::wstring&)> probe_;
    HWND status_;
    HHOOK hook_;
    std::mutex lock_;
    std::vector<std::wstring> texts_;
};

}  // namespace ui
