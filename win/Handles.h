#pragma once
#include <cstdio>
#include <utility>
#include <windows.h>
#include <objbase.h>

namespace win {

// Owning wrapper for a kernel handle; INVALID_HANDLE_VALUE and null both mean none.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept { reset(o.release()); return *this; }

    HANDLE get() const { return h_; }
    bool valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    explicit operator bool() const { return valid(); }
    HANDLE release() { HANDLE h = h_; h_ = nullptr; return h; }
    void reset(HANDLE h = nullptr) {
        if (valid()) CloseHandle(h_);
        h_ = h;
    }

private:
    HANDLE h_ = nullptr;
};

// FindFirstFileW handle.
class FindHandle {
public:
    FindHandle() = default;
    explicit FindHandle(HANDLE h) : h_(h) {}
    ~FindHandle() { reset(); }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    void reset(HANDLE h = INVALID_HANDLE_VALUE) {
        if (valid()) FindClose(h_);
        h_ = h;
    }

private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
};

// Owned GDI object (font, bitmap, brush, pen).
template <class T>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(T h) : h_(h) {}
    ~GdiObject() { reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }
    GdiObject& operator=(GdiObject&& o) noexcept { reset(o.h_); o.h_ = nullptr; return *this; }

    T get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    void reset(T h = nullptr) {
        if (h_) DeleteObject(h_);
        h_ = h;
    }

private:
    T h_ = nullptr;
};

// Selects an object into a device context for the scope and restores the old one.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
    ~SelectObjectScope() { if (old_) SelectObject(dc_, old_); }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Memory device context.
class MemoryDC {
public:
    explicit MemoryDC(HDC ref) : dc_(CreateCompatibleDC(ref)) {}
    ~MemoryDC() { if (dc_) DeleteDC(dc_); }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// GetDC / ReleaseDC pair.
class WindowDC {
public:
    explicit WindowDC(HWND w) : w_(w), dc_(GetDC(w)) {}
    ~WindowDC() { if (dc_) ReleaseDC(w_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND w_;
    HDC dc_;
};

// BeginPaint / EndPaint pair.
class PaintDC {
public:
    explicit PaintDC(HWND w) : w_(w) { dc_ = BeginPaint(w, &ps_); }
    ~PaintDC() { EndPaint(w_, &ps_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC get() const { return dc_; }
    const PAINTSTRUCT& ps() const { return ps_; }

private:
    HWND w_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// Module loaded for the scope (LoadLibraryW / FreeLibrary).
class LibraryHandle {
public:
    explicit LibraryHandle(const wchar_t* name, DWORD flags = 0)
        : h_(flags ? LoadLibraryExW(name, nullptr, flags) : LoadLibraryW(name)) {}
    ~LibraryHandle() { if (h_) FreeLibrary(h_); }
    LibraryHandle(const LibraryHandle&) = delete;
    LibraryHandle& operator=(const LibraryHandle&) = delete;
    HMODULE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    HMODULE h_;
};

// A COM interface pointer that releases itself.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T** put() { reset(); return &p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};

// CoInitializeEx / CoUninitialize for one thread's scope.
class ComScope {
public:
    explicit ComScope(DWORD model = COINIT_APARTMENTTHREADED) : hr_(CoInitializeEx(nullptr, model)) {}
    ~ComScope() { if (SUCCEEDED(hr_)) CoUninitialize(); }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool ok() const { return SUCCEEDED(hr_); }

private:
    HRESULT hr_;
};

// A C stream, closed at the end of its scope. Close() reports what the close wrote
// (a full disk shows there) for callers that must know.
class UniqueFile {
public:
    explicit UniqueFile(FILE* f) : f_(f) {}
    ~UniqueFile() { Close(); }
    UniqueFile(const UniqueFile&) = delete;
    UniqueFile& operator=(const UniqueFile&) = delete;

    FILE* get() const { return f_; }
    explicit operator bool() const { return f_ != nullptr; }
    bool Close() {
        if (!f_) return true;
        bool ok = fclose(f_) == 0;
        f_ = nullptr;
        return ok;
    }

private:
    FILE* f_ = nullptr;
};

// BeginPaint for the scope, EndPaint at its end.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &ps_)) {}
    ~PaintScope() { EndPaint(window_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

}  // namespace win
