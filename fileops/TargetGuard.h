#pragma once
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/FileIdentity.h"

// What a move or copy that replaces existing files may replace in its target folder:
// never the source itself, a file of the results (shown, or kept in a group after its
// row went), nor a file that this same pass has put there. Everything else in the
// target is replaced as the option says. Files are told apart by identity, not by
// the text of their paths.
class CTargetGuard {
public:
    // The paths of the group members with this file name (letter case ignored).
    using MembersNamed = std::function<std::vector<std::wstring>(const std::wstring& fileName)>;

    // `rowPaths`: every file row when the pass starts (before it removes any).
    CTargetGuard(std::vector<std::wstring> rowPaths, MembersNamed members)
        : rowPaths_(std::move(rowPaths)), members_(std::move(members)) {}

    // True when nothing is at `target`, or what is there may be replaced.
    bool MayReplace(const std::wstring& source, const std::wstring& target);
    // The pass has put a file at `target`.
    void Placed(const std::wstring& target);

private:
    bool IsResult(const SFileId& id, const std::wstring& fileName);

    std::vector<std::wstring> rowPaths_;
    MembersNamed members_;
    bool rowsRead_ = false;
    std::unordered_set<SFileId, SFileIdHash> rows_;
    std::unordered_set<SFileId, SFileIdHash> placed_;
};
