#include "fileops/ResultWalk.h"

#include "app/TwinseekDlg.h"
#include "engine/FileError.h"
#include "win/Format.h"

void CResultWalk::Run(const std::function<void(const SFileRow&)>& onFile,
                      const std::function<void(HTREEITEM group)>& onGroupEnd) {
    HWND tree = dlg_.ResultTree.GetTreeCtrl();
    HTREEITEM next = TreeView_GetRoot(tree);
    while (HTREEITEM group = next) {
        CheckClosing(dlg_.ClosingFlag);
        next = TreeView_GetNextSibling(tree, group);
        groupFailed_ = 0;
        HTREEITEM nextFile = TreeView_GetChild(tree, group);
        while (HTREEITEM row = nextFile) {
            CheckClosing(dlg_.ClosingFlag);
            nextFile = TreeView_GetNextSibling(tree, row);
            SFileRow file;
            file.group = group;
            file.row = row;
            file.name = Text(row, 1);
            file.path = Text(row, 2);
            onFile(file);
        }
        if (onGroupEnd) onGroupEnd(group);
    }
}

std::wstring CResultWalk::Text(HTREEITEM row, int column) const { return dlg_.ResultTree.GetItemText(row, column); }

bool CResultWalk::Ticked(HTREEITEM row) const {
    return TreeView_GetCheckState(dlg_.ResultTree.GetTreeCtrl(), row) == 1;
}

void CResultWalk::DeleteRow(HTREEITEM row) { TreeView_DeleteItem(dlg_.ResultTree.GetTreeCtrl(), row); }

void CResultWalk::UpdateGroupCount(const SFileRow& file) {
    int n;
    try {
        n = dlg_.FileInfoMap.GroupSizeOnDisk(file.name, file.path);
    } catch (const CFileError&) {
        return;
    }
    dlg_.ResultTree.SetItemText(file.group, 0, win::Format(L"%d", n));
}

bool CResultWalk::Take(const SFileRow& file, SRemovedFile& taken) {
    try {
        taken = dlg_.FileInfoMap.TakeFile(file.name, file.path);
        return true;
    } catch (const CFileError&) {
        CountFailure();
        return false;
    }
}

void CResultWalk::Failed(const SFileRow& file, const SRemovedFile& taken) {
    dlg_.FileInfoMap.PutBack(taken);
    UpdateGroupCount(file);
    CountFailure();
}

void CResultWalk::CountFailure() {
    ++failed_;
    ++groupFailed_;
}

void CResultWalk::ShowEnd(const wchar_t* done, const wchar_t* failedFormat) const {
    ShowStatus(&dlg_, L"%s", PassEndText(done, failedFormat, failed_).c_str());
}

std::wstring PassEndText(const wchar_t* done, const wchar_t* failedFormat, int failed) {
    return failed == 0 ? std::wstring(done) : win::Format(failedFormat, failed);
}
