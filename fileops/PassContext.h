#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

class CFileInfoMap;
class CLeftFiles;
class CProtectedFolders;
class IResults;

// What a file pass works on: the result rows, the groups behind them, the status
// line and the closing flag. The main window hands in its own; a unit test hands in
// rows in memory and a recorder of the texts.
struct SPassContext {
    IResults& results;
    CFileInfoMap& groups;
    // Shows one status text (from the pass's worker).
    std::function<void(const std::wstring&)> status;
    const std::atomic<int32_t>& closing;
    // Where the pass lists each file it leaves and why (none: not listed).
    CLeftFiles* left = nullptr;
    // Files under these folders are never given up (none: no folder is protected).
    const CProtectedFolders* protectedFolders = nullptr;
};
