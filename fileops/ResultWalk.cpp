#include "fileops/ResultWalk.h"

#include "app/TwinseekDlg.h"
#include "engine/FileError.h"
#include "engine/FileIdentity.h"
#include "fileops/KeptCopies.h"
#include "view/ResultColumns.h"
#include "view/RowTick.h"
#include "win/Format.h"

void CResultWalk::Run(const std::function<void(const SFileRow&)>& onFile,
                      const std::function<void(HTREEITEM group)>& onGroupEnd,
                      const std::function<void(const std::vector<SFileRow>&)>& onGroupStart) {
    HWND tree = dlg_.ResultTree.GetTreeCtrl();
    HTREEITEM next = TreeView_GetRoot(tree);
    std::vector<SFileRow> rows;
    while (HTREEITEM group = next) {
        CheckClosing(dlg_.ClosingFlag);
        next = TreeView_GetNextSibling(tree, group);
        groupFailed_ = 0;
        rows.clear();
        for (HTREEITEM row = TreeView_GetChild(tree, group); row; row = TreeView_GetNextSibling(tree, row)) {
            SFileRow file;
            file.group = group;
            file.row = row;
            file.name = Text(row, kNameColumn);
            file.path = Text(row, kPathColumn);
            file.ticked = Ticked(row);
            rows.push_back(std::move(file));
        }
        if (onGroupStart) onGroupStart(rows);
        for (const SFileRow& file : rows) {
            CheckClosing(dlg_.ClosingFlag);
            onFile(file);
        }
        if (onGroupEnd) onGroupEnd(group);
    }
}

std::vector<std::wstring> CResultWalk::AllPaths() const {
    HWND tree = dlg_.ResultTree.GetTreeCtrl();
    std::vector<std::wstring> paths;
    for (HTREEITEM group = TreeView_GetRoot(tree); group; group = TreeView_GetNextSibling(tree, group))
        for (HTREEITEM row = TreeView_GetChild(tree, group); row; row = TreeView_GetNextSibling(tree, row))
            paths.push_back(Text(row, kPathColumn));
    return paths;
}

std::wstring CResultWalk::Text(HTREEITEM row, int column) const { return dlg_.ResultTree.GetItemText(row, column); }

bool CResultWalk::Ticked(HTREEITEM row) const {
    return RowTicked(dlg_.ResultTree.GetTreeCtrl(), row);
}

void CResultWalk::DeleteRow(HTREEITEM row) { TreeView_DeleteItem(dlg_.ResultTree.GetTreeCtrl(), row); }

void CResultWalk::UpdateGroupCount(const SFileRow& file) {
    int n;
    try {
        n = dlg_.FileInfoMap.GroupSizeOnDisk(file.name, file.path);
    } catch (const CFileError&) {
        return;
    }
    dlg_.ResultTree.SetItemText(file.group, kCountColumn, win::Format(L"%d", n));
}

bool CResultWalk::Take(const SFileRow& file, SRemovedFile& taken, CKeptCopies* kept) {
    try {
        taken = dlg_.FileInfoMap.TakeFile(file.name, file.path);
    } catch (const CFileError&) {
        CountFailure();
        return false;
    }
    if (!kept) return true;
    if (taken.found) {
        const std::optional<SFileId> id = FileIdentityOf(file.path);
        if (id && kept->CopyBesides(taken.key, *id)) return true;
    }
    Failed(file, taken);
    return false;
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

void KeepFirst(CKeptCopies& kept, const std::vector<SFileRow>& rows) {
    kept.Reset();
    if (!rows.empty()) kept.Keep(rows[0].name, rows[0].path);
}

CKeptCopies* KeepUnticked(CKeptCopies& kept, const std::vector<SFileRow>& rows) {
    kept.Reset();
    bool allTicked = true;
    for (const SFileRow& row : rows) {
        if (row.ticked) continue;
        kept.Keep(row.name, row.path);
        allTicked = false;
    }
    return allTicked ? nullptr : &kept;
}
