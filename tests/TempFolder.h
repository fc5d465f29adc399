#pragma once
// A fresh folder under the system's temp folder for one test, removed with all its
// content afterwards, plus small helpers to fill it and read files back. Plain file
// calls only, so unit tests and window tests share it.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>
#include <windows.h>

class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH + 1];
        GetTempPathW(MAX_PATH + 1, base);
        static std::atomic<unsigned> counter{0};
        for (;;) {
            m_path = std::wstring(base) + L"twinseek-test-" + std::to_wstring(GetCurrentProcessId()) +
                     L"-" + std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++counter);
            if (CreateDirectoryW(m_path.c_str(), nullptr)) break;
        }
    }
    ~TempFolder() { RemoveTree(m_path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return m_path; }
    std::wstring operator/(const std::wstring& relative) const { return m_path + L"\\" + relative; }

    // Makes the folder and every missing one on the way; returns its full path.
    std::wstring MakeDir(const std::wstring& relative) const {
        for (size_t at = relative.find(L'\\'); at != std::wstring::npos; at = relative.find(L'\\', at + 1))
            CreateDirectoryW(Extended(*this / relative.substr(0, at)).c_str(), nullptr);
        std::wstring full = *this / relative;
        CreateDirectoryW(Extended(full).c_str(), nullptr);
        return full;
    }

    // Writes a file, making the folders on the way; returns its full path.
    std::wstring Write(const std::wstring& relative, const std::string& bytes) const {
        const size_t slash = relative.find_last_of(L'\\');
        if (slash != std::wstring::npos) MakeDir(relative.substr(0, slash));
        std::wstring full = *this / relative;
        HANDLE h = CreateFileW(Extended(full).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            if (!bytes.empty()) WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            CloseHandle(h);
        }
        return full;
    }

    // A folder link `link` -> `target`, both names in the folder `parent`. Wine's own
    // link calls make nothing, so the host's ln makes it; Wine shows it as a folder
    // with the reparse-point attribute and follows it. False when it could not.
    static bool MakeFolderLink(const std::wstring& parent, const std::wstring& link, const std::wstring& target) {
        std::wstring command = L"ln -s " + target + L" " + link;
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessW(L"Z:\\bin\\ln", command.data(), nullptr, nullptr, FALSE, 0, nullptr, parent.c_str(), &si,
                            &pi))
            return false;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        // A host process is not one Wine can wait for: watch for the link instead.
        for (int i = 0; i < 500; ++i) {
            const DWORD attributes = GetFileAttributesW((parent + L"\\" + link).c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
            Sleep(20);
        }
        return false;
    }

    // Writes a file by its exact name, also one ending in "." or " " (which only the
    // prefixed form reaches); false when the file system cannot hold such a name.
    static bool WriteExact(const std::wstring& full, const std::string& bytes) {
        HANDLE h = CreateFileW((L"\\\\?\\" + full).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        if (!bytes.empty()) WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(h);
        return true;
    }

    // Sets the last-write time from a local date and time.
    static void SetLocalTime(const std::wstring& path, WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s) {
        SYSTEMTIME st = {};
        st.wYear = y; st.wMonth = mo; st.wDay = d; st.wHour = h; st.wMinute = mi; st.wSecond = s;
        FILETIME local, utc;
        SystemTimeToFileTime(&st, &local);
        LocalFileTimeToFileTime(&local, &utc);
        HANDLE f = CreateFileW(Extended(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        SetFileTime(f, nullptr, nullptr, &utc);
        CloseHandle(f);
    }

    // Deterministic content of n bytes.
    static std::string Pattern(size_t n) {
        std::string bytes(n, '\0');
        for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>((i * 31 + (i >> 8)) & 0xff);
        return bytes;
    }

    static std::wstring Extended(const std::wstring& path) {
        const bool trimmed = !path.empty() && (path.back() == L'.' || path.back() == L' ');
        return path.size() < 240 && !trimmed ? path : L"\\\\?\\" + path;
    }

    // Removes a folder with everything in it, read-only files included.
    static bool RemoveTree(const std::wstring& dir) {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW(Extended(dir + L"\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = fd.cFileName;
                if (name == L"." || name == L"..") continue;
                std::wstring full = dir + L"\\" + name;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                    // A link goes, never what it points to.
                    if (!RemoveDirectoryW(Extended(full).c_str())) DeleteFileW(Extended(full).c_str());
                } else if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(full);
                } else {
                    SetFileAttributesW(Extended(full).c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileW(Extended(full).c_str());
                }
            } while (FindNextFileW(h, &fd));
            FindClose(h);
        }
        return RemoveDirectoryW(Extended(dir).c_str()) != 0;
    }

private:
    std::wstring m_path;
};

inline bool Exists(const std::wstring& path) {
    return GetFileAttributesW(TempFolder::Extended(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The whole content of a file; empty when it cannot be opened.
inline std::string ReadFileBytes(const std::wstring& path) {
    std::string out;
    HANDLE h = CreateFileW(TempFolder::Extended(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return out;
    char buf[65536];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
    CloseHandle(h);
    return out;
}
