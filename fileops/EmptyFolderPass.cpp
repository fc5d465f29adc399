#include "fileops/EmptyFolderPass.h"

#include <windows.h>

#include <string>

#include "engine/FindFlags.h"
#include "engine/FolderList.h"
#include "engine/LongPath.h"

namespace {

// Only a real folder goes: removing a junction, a folder link or a mount point would
// take the user's link away whatever its target holds. A folder that is not empty
// is refused by the system itself.
bool IsPlainFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(ToLongPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

void CEmptyFolderPass::RemoveEmptyFolders() {
    // A copy in list order; only folders that are empty right now go (a folder whose
    // last content is an empty subfolder listed after it stays this time).
    for (const std::wstring& path : folders_.FolderPaths()) {
        CheckClosing(closing_);
        if (IsPlainFolder(path)) RemoveDirectoryW(ToLongPath(path).c_str());
    }
    folders_.DropMissingFolders();
}
