#pragma once
#include <mutex>
#include <string>
#include <vector>

// Folders whose files are the originals: no pass gives one of them up, no tick
// lands on one, and a group holding one keeps it. A folder covers itself and
// everything below it; letter case is ignored as the file system ignores it.
// Kept in the settings file's own section, one folder per key. Thread-safe: the
// passes' workers ask while the window changes the list.
class CProtectedFolders {
public:
    void Load();
    void Save() const;
    // The folder without its trailing backslash; folders it covers are dropped as
    // it covers them now. False when it was covered already.
    bool Add(std::wstring folder);
    // Drops every folder covering `path`; false when none did.
    bool RemoveCovering(const std::wstring& path);
    bool Covers(const std::wstring& path) const;
    std::vector<std::wstring> Folders() const;

    // `folder` is `path` or one of its parent folders.
    static bool FolderCovers(const std::wstring& folder, const std::wstring& path);

private:
    mutable std::mutex lock_;
    std::vector<std::wstring> folders_;
};
