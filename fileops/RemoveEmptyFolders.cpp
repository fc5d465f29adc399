// The empty-folder pass after a delete or move.
#include "app/TwinseekDlg.h"
#include "engine/LongPath.h"

void CTwinseekDlg::RemoveEmptyFolders() {
    // A copy in list order; only folders that are empty right now go (a folder whose
    // last content is an empty subfolder listed after it stays this time).
    for (const std::wstring& path : FileInfoMap.Folders.FolderPaths()) {
        CheckClosing(ClosingFlag);
        RemoveDirectoryW(ToLongPath(path).c_str());
    }
    FileInfoMap.Folders.DropMissingFolders();
}
