#pragma once
// Records every text the main window's status line and its counters are given, in
// order and with the tick it came at, through a hook on the window's thread; `probe`
// (when set) runs in the hook for each status text, on the window thread, so a test
// can look at the program's state at that moment.
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
    struct Entry {
        std::wstring text;
        DWORD tick;
    };

    explicit StatusRecorder(HWND main, std::function<void(const std::wstring&)> probe = nullptr)
        : probe_(std::move(probe)) {
        self_ = this;
        status_ = GetDlgItem(main, IDC_STATUS);
        count_ = GetDlgItem(main, IDC_COUNT);
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
        std::vector<std::wstring> out;
        for (const Entry& e : status_texts_) out.push_back(e.text);
        return out;
    }
    std::vector<Entry> Entries() {
        std::lock_guard<std::mutex> lock(lock_);
        return status_texts_;
    }
    // What the counters beside the status line were given.
    std::vector<Entry> Counters() {
        std::lock_guard<std::mutex> lock(lock_);
        return counter_texts_;
    }
    size_t Size() {
        std::lock_guard<std::mutex> lock(lock_);
        return status_texts_.size();
    }
    // Waits until `text` was shown at or after position `from`.
    bool WaitSaw(const std::wstring& text, size_t from = 0, int ms = 10000) {
        return WaitUntil([&] { return Find(text, from) >= 0; }, ms);
    }
    // Position of the first `text` at or after `from`; -1 when not shown.
    long Find(const std::wstring& text, size_t from = 0) {
        std::lock_guard<std::mutex> lock(lock_);
        for (size_t i = from; i < status_texts_.size(); ++i)
            if (status_texts_[i].text == text) return static_cast<long>(i);
        return -1;
    }
    // Milliseconds from the first `from` to the first `to` after it; -1 when missing.
    long Between(const std::wstring& from, const std::wstring& to) {
        const long i = Find(from);
        const long j = i < 0 ? -1 : Find(to, i + 1);
        if (j < 0) return -1;
        std::lock_guard<std::mutex> lock(lock_);
        return static_cast<long>(status_texts_[j].tick - status_texts_[i].tick);
    }

private:
    static LRESULT CALLBACK Proc(int code, WPARAM wp, LPARAM lp) {
        auto* cw = reinterpret_cast<CWPSTRUCT*>(lp);
        if (code == HC_ACTION && self_ && cw->message == WM_SETTEXT &&
            (cw->hwnd == self_->status_ || cw->hwnd == self_->count_)) {
            Entry e{reinterpret_cast<const wchar_t*>(cw->lParam), GetTickCount()};
            const bool status = cw->hwnd == self_->status_;
            if (status && self_->probe_) self_->probe_(e.text);
            std::lock_guard<std::mutex> lock(self_->lock_);
            (status ? self_->status_texts_ : self_->counter_texts_).push_back(std::move(e));
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    static inline StatusRecorder* self_ = nullptr;
    std::function<void(const std::wstring&)> probe_;
    HWND status_, count_;
    HHOOK hook_;
    std::mutex lock_;
    std::vector<Entry> status_texts_, counter_texts_;
};

}  // namespace ui
