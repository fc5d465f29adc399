// The duplicate groups as rows of the results: one top-level row per group, one
// child row per file. Called by the scan on the search worker; every change to the
// tree is a message, and the data lock is never held across one.
#include <algorithm>

#include "app/TwinseekDlg.h"
#include "view/ResultText.h"
#include "view/UseShGetFileInfo.h"
#include "win/Format.h"

namespace {

struct Headings {
    const wchar_t* text;
    int width;
};
const Headings kColumns[] = {
    {L"文件重复数量", 110}, {L"文件名称", 195}, {L"文件所在路径", 230},
    {L"文件大小", 80},     {L"文件修改时间", 135}, {L"文件唯一标识", 115},
};

std::wstring Count(int n) { return win::Format(L"%d", n); }

}  // namespace

void CTwinseekDlg::InitResultTree() {
    win::Window tree = ResultTree.GetTreeCtrl();
    tree.ModifyStyle(0, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_CHECKBOXES | TVS_FULLROWSELECT);
    ImageList = CUseShGetFileInfo().GetSystemImageList(true);
    TreeView_SetImageList(tree, ImageList, TVSIL_NORMAL);
    for (int i = 0; i < 6; ++i) ResultTree.InsertColumn(i, kColumns[i].text, HDF_CENTER, kColumns[i].width, -1);
    ResultTree.SetObserver(&GroupRows);
}

HTREEITEM CTwinseekDlg::InsertRow(HTREEITEM parent, HTREEITEM after, const std::wstring& text,
                                  const SFileInfo& file) {
    const int image = CUseShGetFileInfo().GetFileIconIndex(FileNameOfPath(file.strPath), true);
    TVINSERTSTRUCTW is{};
    is.hParent = parent;
    is.hInsertAfter = after;
    is.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    is.item.pszText = const_cast<wchar_t*>(text.c_str());
    is.item.iImage = image;
    is.item.iSelectedImage = image;
    return TreeView_InsertItem(ResultTree.GetTreeCtrl(), &is);
}

void CTwinseekDlg::SetFileColumns(HTREEITEM row, const SFileInfo& file) {
    ResultTree.SetItemText(row, 1, file.strName);
    ResultTree.SetItemText(row, 2, file.strPath);
    ResultTree.SetItemText(row, 3, SizeText(file.nSize));
    ResultTree.SetItemText(row, 4, file.strTime);
    ResultTree.SetItemText(row, 5, file.strMD5);
}

HTREEITEM CTwinseekDlg::AddGroupRow(const SFileInfo& first) {
    HWND tree = ResultTree.GetTreeCtrl();
    // The anchor is the first group row showing this name; check it against the tree,
    // which others may have changed since it was filed.
    HTREEITEM anchor = nullptr;
    for (;;) {
        anchor = GroupRows.FirstWithName(first.strName);
        if (!anchor) break;
        std::wstring label = CColumnTreeCtrl::ReadLabel(tree, anchor);
        if (label.empty()) {
            GroupRows.Remove(anchor);
            continue;
        }
        std::wstring shown = CColumnTreeCtrl::Piece(label, 1);
        if (shown == first.strName) break;
        GroupRows.Rename(anchor, shown);
    }
    HTREEITEM row = InsertRow(TVI_ROOT, anchor ? anchor : TVI_LAST, Count(FileInfoMap.GetGroupSize(first)), first);
    if (!row && anchor) {
        // The anchor went away meanwhile.
        anchor = nullptr;
        row = InsertRow(TVI_ROOT, TVI_LAST, Count(FileInfoMap.GetGroupSize(first)), first);
    }
    if (!row) return nullptr;
    GroupRows.Insert(row, first.strName, anchor);
    SetFileColumns(row, first);
    return row;
}

HTREEITEM CTwinseekDlg::FileRowUnder(HTREEITEM group, const SFileInfo& file) {
    int children = GroupRows.ChildCount(group);
    if (children < 0) children = ResultTree.GetChildCount(group);
    HTREEITEM row = InsertRow(group, TVI_LAST, Count(children + 1), file);
    if (!row) return nullptr;
    GroupRows.AddChild(group, row);
    SetFileColumns(row, file);
    return row;
}

HTREEITEM CTwinseekDlg::AddFileRow(HTREEITEM group, const SFileInfo& file) {
    // Without a group row the insert would land at the top level.
    if (!group) return nullptr;
    ResultTree.SetItemText(group, 0, Count(FileInfoMap.GetGroupSize(file)));
    return FileRowUnder(group, file);
}

void CTwinseekDlg::PauseRows(size_t rows) {
    // One millisecond per row passed over, in slices, so a stop is not held up.
    DWORD left = static_cast<DWORD>(std::min<size_t>(rows, 0x7FFFFFFF));
    while (left > 0 && !(FindFlags & FIND_END_MASK) && !ClosingFlag) {
        DWORD slice = std::min<DWORD>(left, 20);
        Sleep(slice);
        left -= slice;
    }
}

HTREEITEM CTwinseekDlg::AddFileToGroup(const SFileInfo& first, const SFileInfo& file) {
    bool bySize, byTime, byDigest, fast;
    {
        auto lock = FileInfoMap.Lock();
        bySize = FindSetting.FindSizeFile != 0;
        byTime = FindSetting.FindTimeFile != 0;
        byDigest = FindSetting.FindMD5File != 0;
        fast = FindSetting.FastSearch == 1;
    }
    const std::wstring size = SizeText(first.nSize);
    HWND tree = ResultTree.GetTreeCtrl();
    HTREEITEM match = nullptr;
    // Only rows showing the name can match; they come in display order, so the first
    // that matches is the one a walk from the top would find.
    for (HTREEITEM row : GroupRows.RowsWithName(first.strName)) {
        std::wstring label = CColumnTreeCtrl::ReadLabel(tree, row);
        if (label.empty()) {
            GroupRows.Remove(row);
            continue;
        }
        using P = CColumnTreeCtrl;
        if (P::Piece(label, 1) != first.strName) {
            GroupRows.Rename(row, P::Piece(label, 1));
            continue;
        }
        if (bySize && P::Piece(label, 3) != size) continue;
        if (byTime && P::Piece(label, 4) != first.strTime) continue;
        if (byDigest && P::Piece(label, 5) != first.strMD5) continue;
        match = row;
        break;
    }
    if (!fast) PauseRows(match ? GroupRows.Position(match) : GroupRows.Size());
    if (!match) return nullptr;
    ResultTree.SetItemText(match, 0, Count(FileInfoMap.GetGroupSize(first)));
    return FileRowUnder(match, file);
}

void CTwinseekDlg::ExpandAll(bool expand) {
    HWND tree = ResultTree.GetTreeCtrl();
    for (HTREEITEM row = TreeView_GetRoot(tree); row; row = TreeView_GetNextSibling(tree, row))
        TreeView_Expand(tree, row, expand ? TVE_EXPAND : TVE_COLLAPSE);
}

void CTwinseekDlg::DeleteAllRows() {
    TreeView_DeleteAllItems(ResultTree.GetTreeCtrl());
    GroupRows.Clear();
}

void CTwinseekDlg::SetResultsRedraw(bool on) { ResultTree.GetTreeCtrl().SetRedraw(on); }

void CTwinseekDlg::RepaintResults() {
    RedrawWindow(ResultTree, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// --- what the scan reports ---

void CTwinseekDlg::Status(const std::wstring& text) { ShowStatus(this, L"%s", text.c_str()); }

void CTwinseekDlg::Counters(int folderCount, int fileCount) {
    CountEdit.SetText(CFolderScan::CounterText(folderCount, fileCount));
}

void CTwinseekDlg::GroupReachedTwo(const SFileInfo& first, const SFileInfo& second, bool expand) {
    HTREEITEM row = AddGroupRow(first);
    AddFileRow(row, first);
    AddFileRow(row, second);
    if (row && expand) TreeView_Expand(ResultTree.GetTreeCtrl(), row, TVE_EXPAND);
}

void CTwinseekDlg::GroupGrew(const SFileInfo& first, const SFileInfo& record) {
    SetResultsRedraw(false);
    AddFileToGroup(first, record);
    SetResultsRedraw(true);
    RepaintResults();
}

void CTwinseekDlg::RedrawResults() {
    SetResultsRedraw(true);
    RepaintResults();
}
