#include "settings/ProtectedFolders.h"

#include <windows.h>

#include <algorithm>

#include "settings/SettingsFile.h"

namespace {

const wchar_t kSection[] = L"ProtectedFolders";

bool SameText(const wchar_t* a, const wchar_t* b, size_t n) {
    return n == 0 || CompareStringOrdinal(a, static_cast<int>(n), b, static_cast<int>(n), TRUE) == CSTR_EQUAL;
}

std::wstring Trimmed(std::wstring folder) {
    while (folder.size() > 1 && folder.back() == L'\\') folder.pop_back();
    return folder;
}

}  // namespace

bool CProtectedFolders::FolderCovers(const std::wstring& folder, const std::wstring& path) {
    if (folder.empty() || path.size() < folder.size()) return false;
    if (!SameText(folder.c_str(), path.c_str(), folder.size())) return false;
    // "D:\a" covers "D:\a" and "D:\a\b", never "D:\ab".
    return path.size() == folder.size() || path[folder.size()] == L'\\' || folder.back() == L'\\';
}

void CProtectedFolders::Load() {
    std::vector<std::wstring> read;
    for (std::wstring& folder : ReadSettingList(kSection)) {
        folder = Trimmed(std::move(folder));
        if (!folder.empty()) read.push_back(std::move(folder));
    }
    std::lock_guard<std::mutex> guard(lock_);
    folders_ = std::move(read);
}

void CProtectedFolders::Save() const { WriteSettingList(kSection, Folders()); }

bool CProtectedFolders::Add(std::wstring folder) {
    folder = Trimmed(std::move(folder));
    if (folder.empty()) return false;
    std::lock_guard<std::mutex> guard(lock_);
    for (const std::wstring& f : folders_)
        if (FolderCovers(f, folder)) return false;
    std::erase_if(folders_, [&](const std::wstring& f) { return FolderCovers(folder, f); });
    folders_.push_back(std::move(folder));
    return true;
}

bool CProtectedFolders::RemoveCovering(const std::wstring& path) {
    std::lock_guard<std::mutex> guard(lock_);
    return std::erase_if(folders_, [&](const std::wstring& f) { return FolderCovers(f, path); }) > 0;
}

bool CProtectedFolders::Covers(const std::wstring& path) const {
    std::lock_guard<std::mutex> guard(lock_);
    return std::any_of(folders_.begin(), folders_.end(), [&](const std::wstring& f) { return FolderCovers(f, path); });
}

std::vector<std::wstring> CProtectedFolders::Folders() const {
    std::lock_guard<std::mutex> guard(lock_);
    return folders_;
}
