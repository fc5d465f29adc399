// The duplicate groups as rows of the results: one top-level row per group, one
// child row per file. Called by the scan on the search worker; every change to the
// tree is a message, and the data lock is never held across one.
#include <algorithm>
#include <iterator>
#include <unordered_map>

#include "app/TwinseekDlg.h"
#include "view/ResultColumns.h"
#include "view/ResultText.h"
#include "view/UseShGetFileInfo.h"
#include "win/Format.h"
#include "win/PaintPause.h"

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

// The texts a group row shows for its first file in the columns groups match by.
SGroupRowKey KeyOfGroup(const SFileInfo& first) {
    return {first.strName, SizeText(first.nSize), first.strTime, first.strMD5};
}

// Fast mode: the feed is shown every kTickMs, held rows repainted every kRepaintMs
// (longer for a tree that takes long to repaint, up to kRepaintMaxMs).
constexpr UINT kTickMs = 50;
constexpr DWORD kRepaintMs = 150;
constexpr DWORD kRepaintMaxMs = 1000;

}  // namespace

void CTwinseekDlg::InitResultTree() {
    win::Window tree = ResultTree.GetTreeCtrl();
    tree.ModifyStyle(0, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_CHECKBOXES | TVS_FULLROWSELECT);
    ImageList = CUseShGetFileInfo().GetSystemImageList(true);
    TreeView_SetImageList(tree, ImageList, TVSIL_NORMAL);
    for (int i = 0; i < kResultColumnCount; ++i) ResultTree.InsertColumn(i, kColumns[i].text, HDF_CENTER, kColumns[i].width, -1);
    ResultTree.SetObserver(&GroupRows);
    SetTimer(hwnd_, kScanTickTimer, kTickMs, nullptr);
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
    ResultTree.SetItemText(row, kNameColumn, file.strName);
    ResultTree.SetItemText(row, kPathColumn, file.strPath);
    ResultTree.SetItemText(row, kSizeColumn, SizeText(file.nSize));
    ResultTree.SetItemText(row, kTimeColumn, file.strTime);
    ResultTree.SetItemText(row, kDigestColumn, file.strMD5);
}

HTREEITEM CTwinseekDlg::GroupAnchor(const std::wstring& name) {
    HWND tree = ResultTree.GetTreeCtrl();
    // The anchor is the first group row showing this name; check it against the tree,
    // which others may have changed since it was filed.
    for (;;) {
        HTREEITEM anchor = GroupRows.FirstWithName(name);
        if (!anchor) return nullptr;
        std::wstring label = CColumnTreeCtrl::ReadLabel(tree, anchor);
        if (label.empty()) {
            GroupRows.Remove(anchor);
            continue;
        }
        std::wstring shown = CColumnTreeCtrl::Piece(label, kNameColumn);
        if (shown == name) return anchor;
        GroupRows.Rename(anchor, shown);
    }
}

HTREEITEM CTwinseekDlg::AddGroupRow(const SFileInfo& first) {
    HTREEITEM anchor = GroupAnchor(first.strName);
    HTREEITEM row = InsertRow(TVI_ROOT, anchor ? anchor : TVI_LAST, Count(FileInfoMap.GetGroupSize(first)), first);
    if (!row && anchor) {
        // The anchor went away meanwhile.
        anchor = nullptr;
        row = InsertRow(TVI_ROOT, TVI_LAST, Count(FileInfoMap.GetGroupSize(first)), first);
    }
    if (!row) return nullptr;
    GroupRows.Insert(row, KeyOfGroup(first), anchor);
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
    ResultTree.SetItemText(group, kCountColumn, Count(FileInfoMap.GetGroupSize(file)));
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

unsigned char CTwinseekDlg::GroupCriteria() const {
    auto lock = FileInfoMap.Lock();
    return FindSetting.CriteriaBits();
}

HTREEITEM CTwinseekDlg::MatchingGroupRow(const SFileInfo& first, unsigned char criteria) {
    const SGroupRowKey wanted = KeyOfGroup(first);
    HWND tree = ResultTree.GetTreeCtrl();
    // The index gives the first matching row in display order, the one a walk from
    // the top would find; check it against the tree, which others may have changed.
    for (;;) {
        HTREEITEM row = GroupRows.FirstMatching(wanted, criteria);
        if (!row) return nullptr;
        std::wstring label = CColumnTreeCtrl::ReadLabel(tree, row);
        if (label.empty()) {
            GroupRows.Remove(row);
            continue;
        }
        using P = CColumnTreeCtrl;
        SGroupRowKey shown{P::Piece(label, kNameColumn), P::Piece(label, kSizeColumn),
                           P::Piece(label, kTimeColumn), P::Piece(label, kDigestColumn)};
        SGroupRowKey filed;
        if (GroupRows.KeyOf(row, filed) && shown == filed) return row;
        GroupRows.Refile(row, shown);
    }
}

bool CTwinseekDlg::FastNow() const {
    auto lock = FileInfoMap.Lock();
    return FindSetting.FastSearch == 1;
}

HTREEITEM CTwinseekDlg::AddFileToGroupRow(const SFileInfo& first, const SFileInfo& file) {
    HTREEITEM match = MatchingGroupRow(first, GroupCriteria());
    if (!match) return nullptr;
    ResultTree.SetItemText(match, kCountColumn, Count(FileInfoMap.GetGroupSize(first)));
    return FileRowUnder(match, file);
}

HTREEITEM CTwinseekDlg::AddFileToGroup(const SFileInfo& first, const SFileInfo& file) {
    if (!FastNow()) PauseRows(GroupRows.Position(GroupRows.FirstWithName(first.strName)));
    return AddFileToGroupRow(first, file);
}

void CTwinseekDlg::ExpandAll(bool expand) {
    HWND tree = ResultTree.GetTreeCtrl();
    for (HTREEITEM row = TreeView_GetRoot(tree); row; row = TreeView_GetNextSibling(tree, row))
        TreeView_Expand(tree, row, expand ? TVE_EXPAND : TVE_COLLAPSE);
}

void CTwinseekDlg::DeleteAllRows() {
    Feed.DropGroups();
    TreeView_DeleteAllItems(ResultTree.GetTreeCtrl());
    GroupRows.Clear();
}

void CTwinseekDlg::SetResultsRedraw(bool on) { ResultTree.GetTreeCtrl().SetRedraw(on); }

void CTwinseekDlg::RepaintResults() {
    RedrawWindow(ResultTree, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// --- what the scan reports ---
//
// The default pace shows every text and row as it comes, each through its messages.
// Fast mode hands them to the feed instead: the worker never waits for the window,
// and the window shows the latest texts on its tick (at most every kTickMs), adds
// the rows with redrawing off, one message each, and repaints them at most every
// kRepaintMs and whenever the scan goes idle. The rows and their texts are those of
// the default pace; only when they appear differs.

namespace {
bool OnThreadOf(HWND h) { return GetWindowThreadProcessId(h, nullptr) == GetCurrentThreadId(); }

// The shell picks the icon of a name it does not read by its extension alone, so
// one look-up per extension does. Window thread only.
int CachedIconIndex(const std::wstring& path) {
    static std::unordered_map<std::wstring, int> byExtension;
    const std::wstring name = FileNameOfPath(path);
    size_t dot = name.rfind(L'.');
    // A leading NUL keeps "no extension" apart from every real one.
    std::wstring key = dot == std::wstring::npos ? std::wstring(1, L'\0') : name.substr(dot + 1);
    auto it = byExtension.find(key);
    if (it != byExtension.end()) return it->second;
    int image = CUseShGetFileInfo().GetFileIconIndex(name, true);
    byExtension.emplace(std::move(key), image);
    return image;
}

// Inserts on the tree's own thread straight into the tree's window procedure: the
// subclasses on the tree leave insertions alone, and passing through them costs
// more than the insertion itself under Wine (a property look-up per message).
HTREEITEM InsertDirect(HWND tree, TVINSERTSTRUCTW& is) {
    static const WNDPROC proc = [] {
        WNDCLASSEXW wc{sizeof wc};
        return GetClassInfoExW(nullptr, WC_TREEVIEWW, &wc) ? wc.lpfnWndProc : nullptr;
    }();
    // Checked once per tree: the class procedure is that of every tree made here.
    static HWND checked = nullptr;
    static bool direct = false;
    if (tree != checked) {
        checked = tree;
        direct = proc && reinterpret_cast<WNDPROC>(GetClassLongPtrW(tree, GCLP_WNDPROC)) == proc;
    }
    if (!direct) return TreeView_InsertItem(tree, &is);
    return reinterpret_cast<HTREEITEM>(CallWindowProcW(proc, tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&is)));
}

// Input, a posted or a sent message is waiting for the window thread.
bool SomebodyWaits() {
    return HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE)) != 0;
}

// A whole row label: every column text followed by one TAB, as SetItemText builds it.
std::wstring RowLabel(const std::wstring& count, const SFileInfo& file) {
    std::wstring label;
    for (const std::wstring* piece : {&count, &file.strName, &file.strPath}) label += *piece + L'\t';
    label += SizeText(file.nSize) + L'\t';
    label += file.strTime + L'\t';
    label += file.strMD5 + L'\t';
    return label;
}
}  // namespace

void CTwinseekDlg::Status(const std::wstring& text) {
    if (Scan.Fast())
        Feed.Status(text, false);
    else
        ShowStatus(this, L"%s", text.c_str());
}

void CTwinseekDlg::FolderDone(const std::wstring& text) {
    if (Scan.Fast())
        Feed.Status(text, true);
    else
        ShowStatus(this, L"%s", text.c_str());
}

void CTwinseekDlg::Counters(int folderCount, int fileCount) {
    if (Scan.Fast()) {
        Feed.Counters(CFolderScan::CounterText(folderCount, fileCount));
        return;
    }
    FlushScanFeed();
    CountEdit.SetText(CFolderScan::CounterText(folderCount, fileCount));
}

void CTwinseekDlg::GroupReachedTwo(const SFileInfo& first, const SFileInfo& second, bool expand, unsigned clears) {
    if (Scan.Fast()) {
        Feed.Group({first, second, false, expand, FileInfoMap.GetGroupSize(first), clears});
        return;
    }
    FlushScanFeed();
    CScanFeed::GroupEvent event{first, second, false, expand, 0, clears};
    Send(WM_SCAN_ROWS, 0, reinterpret_cast<LPARAM>(&event));
}

void CTwinseekDlg::GroupGrew(const SFileInfo& first, const SFileInfo& record, unsigned clears) {
    if (Scan.Fast()) {
        Feed.Group({first, record, true, false, FileInfoMap.GetGroupSize(first), clears});
        return;
    }
    FlushScanFeed();
    // The default pace's cost of finding the row, paid here on the worker: the
    // window's thread only inserts.
    if (!FastNow()) PauseRows(GroupRows.Position(GroupRows.FirstWithName(first.strName)));
    CScanFeed::GroupEvent event{first, record, true, false, 0, clears};
    Send(WM_SCAN_ROWS, 0, reinterpret_cast<LPARAM>(&event));
}

LRESULT CTwinseekDlg::OnScanRows(WPARAM, LPARAM lp) {
    const auto& e = *reinterpret_cast<const CScanFeed::GroupEvent*>(lp);
    // Found before the results were cleared: no row may come back.
    if (FileInfoMap.Clears() != e.clears) return 0;
    if (e.grew) {
        SetResultsRedraw(false);
        AddFileToGroupRow(e.first, e.file);
        SetResultsRedraw(true);
        RepaintResults();
        return 0;
    }
    HTREEITEM row = AddGroupRow(e.first);
    AddFileRow(row, e.first);
    AddFileRow(row, e.file);
    if (row && e.expand) TreeView_Expand(ResultTree.GetTreeCtrl(), row, TVE_EXPAND);
    return 0;
}

void CTwinseekDlg::RedrawResults() {
    FlushScanFeed();
    SetResultsRedraw(true);
    RepaintResults();
}

void CTwinseekDlg::Idle() { FlushScanFeed(); }

void CTwinseekDlg::FlushScanFeed() {
    if (!hwnd_) return;
    if (OnThreadOf(hwnd_))
        ApplyScanFeed(true);
    else if (!Feed.Empty() || RowsHeld)
        SendMessageW(hwnd_, WM_SCAN_FLUSH, 0, 0);
}

LRESULT CTwinseekDlg::OnScanFlush(WPARAM, LPARAM) {
    ApplyScanFeed(true);
    return 0;
}

LRESULT CTwinseekDlg::OnScanTick(WPARAM wp, LPARAM) {
    if (wp == kScanTickTimer) ApplyScanFeed(false);
    return 0;
}

HTREEITEM CTwinseekDlg::InsertLabelledRow(HTREEITEM parent, HTREEITEM after, const std::wstring& count,
                                          const SFileInfo& file) {
    std::wstring label = RowLabel(count, file);
    TVINSERTSTRUCTW is{};
    is.hParent = parent;
    is.hInsertAfter = after;
    is.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    is.item.pszText = label.data();
    is.item.iImage = is.item.iSelectedImage = CachedIconIndex(file.strPath);
    return InsertDirect(ResultTree.GetTreeCtrl(), is);
}

HTREEITEM CTwinseekDlg::LabelledFileRow(HTREEITEM group, const SFileInfo& file) {
    int children = GroupRows.ChildCount(group);
    if (children < 0) children = ResultTree.GetChildCount(group);
    HTREEITEM row = InsertLabelledRow(group, TVI_LAST, Count(children + 1), file);
    GroupRows.AddChild(group, row);
    return row;
}

void CTwinseekDlg::ApplyGroupEvent(const CScanFeed::GroupEvent& e, std::map<HTREEITEM, std::wstring>& counts) {
    // Found before the results were cleared: no row may come back.
    if (e.clears != FileInfoMap.Clears()) return;
    const std::wstring count = Count(e.count);
    if (e.grew) {
        HTREEITEM match = MatchingGroupRow(e.first, GroupCriteria());
        if (!match) return;
        counts[match] = count;   // events come in order: the last count is the group's size
        LabelledFileRow(match, e.file);
        return;
    }
    HTREEITEM anchor = GroupAnchor(e.first.strName);
    HTREEITEM row = InsertLabelledRow(TVI_ROOT, anchor ? anchor : TVI_LAST, count, e.first);
    if (!row) return;
    GroupRows.Insert(row, KeyOfGroup(e.first), anchor);
    LabelledFileRow(row, e.first);
    LabelledFileRow(row, e.file);
    if (e.expand) TreeView_Expand(ResultTree.GetTreeCtrl(), row, TVE_EXPAND);
}

void CTwinseekDlg::ApplyScanFeed(bool finish) {
    CScanFeed::Batch batch = Feed.Take();
    for (const std::wstring& text : batch.status) SetWindowTextW(StatusEdit, text.c_str());
    if (batch.counters) CountEdit.SetText(*batch.counters);
    if (!batch.groups.empty()) {
        if (!RowsHeld) {
            SetResultsRedraw(false);
            RowsHeld = true;
        }
        std::map<HTREEITEM, std::wstring> counts;
        size_t done = 0;
        for (; done < batch.groups.size(); ++done) {
            // A long batch gives way to the user now and then: what is left goes back
            // to the feed for the next tick.
            if (!finish && done % 32 == 31 && SomebodyWaits()) break;
            ApplyGroupEvent(batch.groups[done], counts);
        }
        if (done < batch.groups.size())
            Feed.GiveBack({std::make_move_iterator(batch.groups.begin() + static_cast<std::ptrdiff_t>(done)),
                           std::make_move_iterator(batch.groups.end())});
        // Changing the label of a row the tree has laid out redraws the tree's scroll
        // bars even with redrawing off (Wine: 2-3 ms a row). Without the visible bit
        // that is skipped; the pause stays this short because a window without the
        // bit takes no clicks. The held rows show at the repaint below.
        win::PaintPause pause(ResultTree.GetTreeCtrl());
        for (const auto& [row, count] : counts) ResultTree.SetItemText(row, kCountColumn, count);
    }
    // Held rows are repainted now and then; redrawing stays on until more rows
    // come, so whatever the user does to the tree meanwhile shows at once.
    if (RowsHeld && (finish || GetTickCount() - LastRepaint >= RepaintInterval)) {
        const DWORD start = GetTickCount();
        SetResultsRedraw(true);
        RepaintResults();
        RowsHeld = false;
        LastRepaint = GetTickCount();
        // Turning redrawing back on costs the tree a walk over all its shown rows, so
        // a big tree is repainted less often: at most a tenth of the time goes there.
        RepaintInterval = std::clamp<DWORD>((LastRepaint - start) * 10, kRepaintMs, kRepaintMaxMs);
    }
}
