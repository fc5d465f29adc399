// The duplicate groups as rows of the results: one top-level row per group, one
// child row per file. The scan reports on the search worker; every change to the
// tree is a message, and the data lock is never held across one.
#include "view/ResultsView.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <utility>

#include "engine/FileInfoMap.h"
#include "engine/FindFlags.h"
#include "res/Messages.h"
#include "settings/FindSettingStruct.h"
#include "settings/ProtectedFolders.h"
#include "view/ResultColumns.h"
#include "view/ResultText.h"
#include "view/RowTick.h"
#include "view/TickRules.h"
#include "view/UseShGetFileInfo.h"
#include "win/Dpi.h"
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
// (longer for a tree that takes long to repaint, up to kRepaintMaxMs), and once
// kRepaintRows group events were shown since the last: the tree measures every row
// made since then in the one step of a repaint that cannot give way.
constexpr UINT kTickMs = 50;
constexpr DWORD kRepaintMs = 150;
constexpr DWORD kRepaintMaxMs = 2000;
constexpr size_t kRepaintRows = 2000;
// A slice of expanding or collapsing all, or of a backlog a worker waits for; the
// rows a tick makes.
constexpr int kStepMs = 40;
constexpr int kTickWorkMs = 30;
// WM_SCAN_FLUSH's answer while the feed still holds rows.
constexpr LRESULT kFlushMore = 1;

bool OnThreadOf(HWND h) { return GetWindowThreadProcessId(h, nullptr) == GetCurrentThreadId(); }

// On the tree's own thread, inserts straight into the tree's window procedure: the
// subclasses on the tree leave insertions alone, and passing through them costs
// more than the insertion itself under Wine (a property look-up per message). From
// any other thread the insertion is an ordinary message.
HTREEITEM InsertDirect(HWND tree, TVINSERTSTRUCTW& is) {
    static const WNDPROC proc = [] {
        WNDCLASSEXW wc{sizeof wc};
        return GetClassInfoExW(nullptr, WC_TREEVIEWW, &wc) ? wc.lpfnWndProc : nullptr;
    }();
    if (!OnThreadOf(tree)) return TreeView_InsertItem(tree, &is);
    // The class procedure is that of every tree made here; checked once per tree, by
    // the one thread that comes this far.
    static HWND checked = nullptr;
    static bool direct = false;
    if (tree != checked) {
        direct = proc && reinterpret_cast<WNDPROC>(GetClassLongPtrW(tree, GCLP_WNDPROC)) == proc;
        checked = tree;
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

HIMAGELIST CResultsView::Init(HWND owner, HWND status, HWND counters) {
    owner_ = owner;
    status_ = status;
    counters_ = counters;
    win::Window tree = tree_.GetTreeCtrl();
    tree.ModifyStyle(0, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_CHECKBOXES | TVS_FULLROWSELECT);
    HIMAGELIST images = CUseShGetFileInfo().GetSystemImageList(true);
    TreeView_SetImageList(tree, images, TVSIL_NORMAL);
    // The widths are for 96 DPI.
    const UINT dpi = win::DpiOf(owner);
    for (int i = 0; i < kResultColumnCount; ++i)
        tree_.InsertColumn(i, kColumns[i].text, HDF_CENTER, win::Scaled(kColumns[i].width, dpi), -1);
    tree_.SetObserver(static_cast<IColumnTreeObserver*>(this));
    tree_.SetLateRows(this);
    tree_.SetTickRows(this);
    // A protected file's row is drawn grey.
    tree_.SetQuietRows([this](HTREEITEM row) { return RowProtected(row); });
    SetTimer(owner_, kScanTickTimer, kTickMs, nullptr);
    return images;
}

// --- making rows ---

int CResultsView::IconOf(const std::wstring& path) {
    const std::wstring name = FileNameOfPath(path);
    size_t dot = name.rfind(L'.');
    // A leading NUL keeps "no extension" apart from every real one.
    std::wstring key = dot == std::wstring::npos ? std::wstring(1, L'\0') : name.substr(dot + 1);
    {
        std::lock_guard<std::mutex> guard(iconLock_);
        auto it = iconByExtension_.find(key);
        if (it != iconByExtension_.end()) return it->second;
    }
    int image = CUseShGetFileInfo().GetFileIconIndex(name, true);
    std::lock_guard<std::mutex> guard(iconLock_);
    iconByExtension_.emplace(std::move(key), image);
    return image;
}

HTREEITEM CResultsView::InsertRow(HTREEITEM parent, HTREEITEM after, const std::wstring& count,
                                  const SFileInfo& file) {
    std::wstring label = RowLabel(count, file);
    TVINSERTSTRUCTW is{};
    is.hParent = parent;
    is.hInsertAfter = after;
    // The file's size rides along, so the ticked files' bytes are known exactly.
    is.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    is.item.lParam = static_cast<LPARAM>(file.nSize);
    if (parent == TVI_ROOT) {
        is.item.mask |= TVIF_CHILDREN;
        is.item.cChildren = I_CHILDRENCALLBACK;
    }
    is.item.pszText = label.data();
    is.item.iImage = is.item.iSelectedImage = IconOf(file.strPath);
    return InsertDirect(tree_.GetTreeCtrl(), is);
}

HTREEITEM CResultsView::InsertGroupRow(const SFileInfo& first, const std::wstring& count) {
    HTREEITEM anchor = GroupAnchor(first.strName);
    HTREEITEM row = InsertRow(TVI_ROOT, anchor ? anchor : TVI_LAST, count, first);
    if (!row && anchor) {
        // The anchor went away meanwhile.
        anchor = nullptr;
        row = InsertRow(TVI_ROOT, TVI_LAST, count, first);
    }
    if (row) groupRows_.Insert(row, KeyOfGroup(first), anchor);
    return row;
}

HTREEITEM CResultsView::InsertFileRow(HTREEITEM group, const SFileInfo& file) {
    // Files the group holds back come first.
    MakeLateRows(group);
    int children = groupRows_.ChildCount(group);
    if (children < 0) children = tree_.GetChildCount(group);
    HTREEITEM row = InsertRow(group, TVI_LAST, Count(children + 1), file);
    if (row) groupRows_.AddChild(group, row);
    return row;
}

HTREEITEM CResultsView::GroupAnchor(const std::wstring& name) {
    HWND tree = tree_.GetTreeCtrl();
    // The anchor is the first group row showing this name; check it against the tree,
    // which others may have changed since it was filed.
    for (;;) {
        HTREEITEM anchor = groupRows_.FirstWithName(name);
        if (!anchor) return nullptr;
        std::wstring label = CColumnTreeCtrl::ReadLabel(tree, anchor);
        if (label.empty()) {
            groupRows_.Remove(anchor);
            continue;
        }
        std::wstring shown = CColumnTreeCtrl::Piece(label, kNameColumn);
        if (shown == name) return anchor;
        groupRows_.Rename(anchor, shown);
    }
}

unsigned char CResultsView::GroupCriteria() const {
    auto lock = groups_.Lock();
    return setting_.CriteriaBits();
}

bool CResultsView::FastNow() const {
    auto lock = groups_.Lock();
    return setting_.FastSearch == 1;
}

HTREEITEM CResultsView::MatchingGroupRow(const SFileInfo& first) {
    const SGroupRowKey wanted = KeyOfGroup(first);
    const unsigned char criteria = GroupCriteria();
    HWND tree = tree_.GetTreeCtrl();
    // The index gives the first matching row in display order, the one a walk from
    // the top would find; check it against the tree, which others may have changed.
    for (;;) {
        HTREEITEM row = groupRows_.FirstMatching(wanted, criteria);
        if (!row) return nullptr;
        std::wstring label = CColumnTreeCtrl::ReadLabel(tree, row);
        if (label.empty()) {
            groupRows_.Remove(row);
            continue;
        }
        using P = CColumnTreeCtrl;
        SGroupRowKey shown{P::Piece(label, kNameColumn), P::Piece(label, kSizeColumn),
                           P::Piece(label, kTimeColumn), P::Piece(label, kDigestColumn)};
        SGroupRowKey filed;
        if (groupRows_.KeyOf(row, filed) && shown == filed) return row;
        groupRows_.Refile(row, shown);
    }
}

void CResultsView::PauseRows(size_t rows) {
    // One millisecond per row passed over, in slices, so a stop is not held up.
    DWORD left = static_cast<DWORD>(std::min<size_t>(rows, 0x7FFFFFFF));
    while (left > 0 && !(findFlags_ & FIND_END_MASK) && !closing_) {
        DWORD slice = std::min<DWORD>(left, 20);
        Sleep(slice);
        left -= slice;
    }
}

HTREEITEM CResultsView::AddGroupRow(const SFileInfo& first) {
    return InsertGroupRow(first, Count(groups_.GetGroupSize(first)));
}

HTREEITEM CResultsView::AddFileRow(HTREEITEM group, const SFileInfo& file) {
    // Without a group row the insert would land at the top level.
    if (!group) return nullptr;
    tree_.SetItemText(group, kCountColumn, Count(groups_.GetGroupSize(file)));
    return InsertFileRow(group, file);
}

HTREEITEM CResultsView::AddFileToGroup(const SFileInfo& first, const SFileInfo& file) {
    if (!FastNow()) PauseRows(groupRows_.Position(groupRows_.FirstWithName(first.strName)));
    HTREEITEM match = MatchingGroupRow(first);
    if (!match) return nullptr;
    tree_.SetItemText(match, kCountColumn, Count(groups_.GetGroupSize(first)));
    return InsertFileRow(match, file);
}

void CResultsView::MakeLateRows(HTREEITEM group) {
    // Taken whole, so a second caller finds nothing left and cannot make a row twice.
    std::vector<bool> ticks;
    const std::vector<SFileInfo> files = groupRows_.TakeLate(group, &ticks);
    if (files.empty()) return;
    tally_.SetLate(group, 0, 0);
    HWND tree = tree_.GetTreeCtrl();
    for (size_t i = 0; i < files.size(); ++i) {
        HTREEITEM row = InsertFileRow(group, files[i]);
        // The tick a rule gave the file while it waited: counted again as the row's.
        if (row && ticks[i]) SetRowTicked(tree, row, true);
    }
}

bool CResultsView::HasFileRows(HTREEITEM group) const {
    return groupRows_.ChildCount(group) > 0 || groupRows_.HasLate(group);
}

size_t CResultsView::RowCount() const {
    return static_cast<size_t>(SendMessageW(tree_.GetTreeCtrl(), TVM_GETCOUNT, 0, 0)) + groupRows_.LateCount();
}

void CResultsView::ExpandAll(bool expand) {
    std::wstring status = win::Window(status_).GetText();
    if (job_) {
        status = job_->status;
        EndJob();
    }
    RowJob job{expand, groupRows_.Rows(), 0, std::move(status)};
    // Wine's tree lays out every row after the one that opens or closes: going
    // down the rows when opening and up them when closing keeps that tail to the
    // closed rows.
    if (!expand) std::reverse(job.rows.begin(), job.rows.end());
    job_ = std::move(job);
    expanding_ = true;
    if (!StepJob()) return;
    job_->announced = true;
    SetWindowTextW(status_, expand ? L"正在展开所有组..." : L"正在收缩所有组...");
    SetTimer(owner_, kRowStepTimer, 10, nullptr);
}

void CResultsView::OnRowStep() {
    if (job_ && StepJob()) return;
    KillTimer(owner_, kRowStepTimer);
}

bool CResultsView::StepJob() {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + std::chrono::milliseconds(kStepMs);
    HWND tree = tree_.GetTreeCtrl();
    RowJob& job = *job_;
    {
        // Without its visible bit the tree skips scrolling its window and painting
        // for every row it opens (Wine: tens of milliseconds a row); the slice shows
        // at its end.
        win::PaintPause pause(tree);
        while (job.next < job.rows.size() && Clock::now() < until) {
            HTREEITEM row = job.rows[job.next++];
            // A row deleted meanwhile has left the index; its handle is not valid.
            if (groupRows_.Contains(row)) TreeView_Expand(tree, row, job.expand ? TVE_EXPAND : TVE_COLLAPSE);
        }
    }
    InvalidateRect(tree, nullptr, FALSE);
    if (job.next < job.rows.size()) return true;
    EndJob();
    return false;
}

void CResultsView::EndJob() {
    if (!job_) return;
    KillTimer(owner_, kRowStepTimer);
    // The status line said it was working: it says again what it said before.
    if (job_->announced) SetWindowTextW(status_, job_->status.c_str());
    job_.reset();
    expanding_ = false;
}

void CResultsView::DeleteAllRows() {
    EndJob();
    feed_.DropGroups();
    HWND tree = tree_.GetTreeCtrl();
    // Emptying a big tree takes Wine seconds: on the window's thread it is swapped
    // for an empty one instead, and emptied out of sight in slices.
    if (OnThreadOf(tree) && static_cast<size_t>(SendMessageW(tree, TVM_GETCOUNT, 0, 0)) >= replaceTreeFrom_)
        tree_.ReplaceTree();
    else
        TreeView_DeleteAllItems(tree);
    groupRows_.Clear();
    // A replaced tree's rows go unannounced.
    tally_.Clear();
}

void CResultsView::ToggleTick(HTREEITEM row) {
    HWND tree = tree_.GetTreeCtrl();
    if (!row) return;
    const bool on = !RowTicked(tree, row);
    HTREEITEM parent = TreeView_GetParent(tree, row);
    if (!parent) {
        // A group row: its files follow it, protected ones excepted; it shows a tick
        // only when every file does (or when its files are all gone).
        bool all = true;
        for (HTREEITEM child = TreeView_GetChild(tree, row); child; child = TreeView_GetNextSibling(tree, child)) {
            const bool tick = on && !RowProtected(child);
            if (RowTicked(tree, child) != tick) SetRowTicked(tree, child, tick);
            all = all && tick;
        }
        SetRowTicked(tree, row, on && all);
        return;
    }
    if (on && RowProtected(row)) return;
    SetRowTicked(tree, row, on);
    bool all = on;
    for (HTREEITEM c = TreeView_GetChild(tree, parent); c && all; c = TreeView_GetNextSibling(tree, c))
        all = RowTicked(tree, c);
    if (RowTicked(tree, parent) != all) SetRowTicked(tree, parent, all);
}

void CResultsView::NoteClickedTick(HTREEITEM row) {
    PostMessageW(owner_, WM_TICK_SETTLE, RowTicked(tree_.GetTreeCtrl(), row), reinterpret_cast<LPARAM>(row));
}

void CResultsView::SettleTick(HTREEITEM row, bool ticked) {
    // A row deleted since is gone from the index, and its handle is not used.
    if (!row || !groupRows_.Knows(row)) return;
    HWND tree = tree_.GetTreeCtrl();
    if (RowTicked(tree, row) != ticked) SetRowTicked(tree, row, ticked);
}

bool CResultsView::RowProtected(HTREEITEM row) const {
    const CProtectedFolders* folders = protected_;
    if (!folders || !row) return false;
    HWND tree = tree_.GetTreeCtrl();
    return TreeView_GetParent(tree, row) && folders->Covers(tree_.GetItemText(row, kPathColumn));
}

void CResultsView::RowTickSet(HTREEITEM row, bool ticked) {
    HWND tree = tree_.GetTreeCtrl();
    // Only file rows count; a file row carries its size.
    if (!TreeView_GetParent(tree, row)) {
        tally_.SetGroup(row, ticked);
        return;
    }
    TVITEMW item{};
    item.mask = TVIF_PARAM | TVIF_HANDLE;
    item.hItem = row;
    if (!TreeView_GetItem(tree, &item)) return;
    tally_.Set(row, ticked, static_cast<uint64_t>(item.lParam));
}

void CResultsView::FollowProtection() {
    HWND tree = tree_.GetTreeCtrl();
    // Only ticked files can be wrong: the tally knows them without a walk.
    for (HTREEITEM group : tally_.LateGroups()) {
        const std::vector<SFileInfo> files = groupRows_.LateFiles(group);
        std::vector<bool> ticks = groupRows_.LateTicks(group);
        for (size_t i = 0; i < files.size(); ++i)
            if (ticks[i] && protected_ && protected_->Covers(files[i].strPath)) ticks[i] = false;
        SetLateTicks(group, files, std::move(ticks));
    }
    for (HTREEITEM row : tally_.Rows()) {
        if (!RowProtected(row)) continue;
        SetRowTicked(tree, row, false);
        if (HTREEITEM parent = TreeView_GetParent(tree, row); RowTicked(tree, parent)) SetRowTicked(tree, parent, false);
    }
    InvalidateRect(tree, nullptr, FALSE);
    ShowSummary();
}

void CResultsView::SetLateTicks(HTREEITEM group, const std::vector<SFileInfo>& files, std::vector<bool> ticks) {
    size_t n = 0;
    uint64_t bytes = 0;
    for (size_t i = 0; i < files.size() && i < ticks.size(); ++i) {
        if (!ticks[i]) continue;
        ++n;
        bytes += files[i].nSize;
    }
    groupRows_.SetLateTicks(group, std::move(ticks));
    tally_.SetLate(group, n, bytes);
}

void CResultsView::ApplyRule(ETickRule rule, const std::wstring& folder) {
    // Rows the feed still holds get their ticks too.
    Flush();
    rows_.SetRedraw(false);
    HWND tree = tree_.GetTreeCtrl();
    // No rule ticks a whole group: a group row ticked before is unticked.
    for (HTREEITEM group : tally_.TickedGroups()) SetRowTicked(tree, group, false);
    if (rule == ETickRule::UntickAll) {
        // Only what is ticked changes, and the tally knows all of it.
        for (HTREEITEM row : tally_.Rows()) SetRowTicked(tree, row, false);
        for (HTREEITEM group : tally_.LateGroups()) SetLateTicks(group, {}, {});
        rows_.SetRedraw(true);
        InvalidateRect(tree, nullptr, FALSE);
        ShowSummary();
        return;
    }
    std::vector<STickMember> members;
    for (HTREEITEM group : groupRows_.Rows()) {
        if (!groupRows_.HasLate(group)) {
            CTickRules::ApplyToGroup(rows_, group, rule, protected_, folder);
            continue;
        }
        // Files not made into rows yet are decided from what the index holds, and
        // their rows get the ticks when they are made.
        const std::vector<SFileInfo> files = groupRows_.LateFiles(group);
        const std::vector<bool> was = groupRows_.LateTicks(group);
        members.clear();
        for (size_t i = 0; i < files.size(); ++i)
            members.push_back({files[i].strPath, files[i].strTime, protected_ && protected_->Covers(files[i].strPath),
                               was[i]});
        SetLateTicks(group, files, CTickRules::Decide(rule, members, folder));
    }
    rows_.SetRedraw(true);
    InvalidateRect(tree_.GetTreeCtrl(), nullptr, FALSE);
    ShowSummary();
}

std::wstring CResultsView::GroupsSummary(uint32_t groups, uint64_t spare) {
    return win::Format(L"重复文件组:%u\r\n可释放:%s", groups, SizeText(spare).c_str());
}

std::wstring CResultsView::TickedSummary(size_t files, uint64_t bytes) {
    return win::Format(L"已勾选:%u个\r\n%s", static_cast<unsigned>(files), SizeText(bytes).c_str());
}

void CResultsView::ShowSummary() {
    // Set only when it changed: the tick comes twenty times a second.
    auto show = [](HWND field, const std::wstring& text) {
        if (field && win::Window(field).GetText() != text) SetWindowTextW(field, text.c_str());
    };
    const CFileInfoMap::STally groups = groups_.Tally();
    show(summaryGroups_, GroupsSummary(groups.groups, groups.spare));
    const CTickTally::STotal ticked = tally_.Total();
    show(summaryTicked_, TickedSummary(ticked.files, ticked.bytes));
}

// --- what the scan reports ---
//
// The default pace shows every text and row as it comes, each through its messages.
// Fast mode hands them to the feed instead: the worker never waits for the window,
// and the window shows the latest text on its tick (at most every kTickMs), adds
// the rows with redrawing off, and repaints them at most every kRepaintMs and
// whenever the scan goes idle. Both make rows through ApplyGroupEvent.

void CResultsView::Status(const std::wstring& text, bool lasting, bool fast) {
    if (fast)
        feed_.Status(text, lasting);
    else
        ShowStatus(text);
}

bool CResultsView::ShowStatus(const std::wstring& text) {
    // Texts a fast scan still holds come first: they are older than this one.
    Flush();
    return SetWindowTextW(status_, text.c_str()) != FALSE;
}

void CResultsView::Counters(const std::wstring& text, bool fast) {
    if (fast) {
        feed_.Counters(text);
        return;
    }
    Flush();
    SetWindowTextW(counters_, text.c_str());
}

void CResultsView::GroupReachedTwo(const SFileInfo& first, const SFileInfo& second, bool expand, unsigned clears,
                                   bool fast) {
    CScanFeed::GroupEvent event{first, second, false, expand, groups_.GetGroupSize(first), clears};
    if (fast) {
        feed_.Group(event);
        return;
    }
    Flush();
    SendMessageW(owner_, WM_SCAN_ROWS, 0, reinterpret_cast<LPARAM>(&event));
}

void CResultsView::GroupGrew(const SFileInfo& first, const SFileInfo& record, unsigned clears, bool fast) {
    CScanFeed::GroupEvent event{first, record, true, false, groups_.GetGroupSize(first), clears};
    if (fast) {
        feed_.Group(event);
        return;
    }
    Flush();
    // The default pace's cost of finding the row, paid here on the worker: the
    // window's thread only inserts.
    if (!FastNow()) PauseRows(groupRows_.Position(groupRows_.FirstWithName(first.strName)));
    SendMessageW(owner_, WM_SCAN_ROWS, 0, reinterpret_cast<LPARAM>(&event));
}

void CResultsView::RedrawResults() {
    Flush();
    rows_.SetRedraw(true);
    rows_.Repaint();
}

void CResultsView::Flush() {
    if (!owner_) return;
    if (OnThreadOf(owner_)) {
        ApplyFeed(FeedPace::All);
        return;
    }
    // A worker that ran ahead of the window leaves it a long backlog: it is shown a
    // slice per message, so the window answers others between two slices. Zero (no
    // window any more) ends the wait too.
    while ((!feed_.Empty() || rowsHeld_ || applying_) && SendMessageW(owner_, WM_SCAN_FLUSH, 0, 0) == kFlushMore) {
    }
}

LRESULT CResultsView::OnFlush() { return ApplyFeed(FeedPace::Slice) ? 0 : kFlushMore; }

void CResultsView::OnTick() {
    ApplyFeed(FeedPace::Tick);
    ShowSummary();
}

void CResultsView::OnRows(const CScanFeed::GroupEvent& event) {
    std::map<HTREEITEM, std::wstring> counts;
    if (event.grew) {
        // A grown group's row goes in with redrawing off, then shows at once.
        rows_.SetRedraw(false);
        ApplyGroupEvent(event, counts);
        SetCounts(counts);
        rows_.SetRedraw(true);
        rows_.Repaint();
        return;
    }
    ApplyGroupEvent(event, counts);
}

void CResultsView::ApplyGroupEvent(const CScanFeed::GroupEvent& e, std::map<HTREEITEM, std::wstring>& counts) {
    // Found before the results were cleared: no row may come back.
    if (e.clears != groups_.Clears()) return;
    const std::wstring count = Count(e.count);
    if (e.grew) {
        HTREEITEM match = MatchingGroupRow(e.first);
        if (!match) return;
        counts[match] = count;   // events come in order: the last count is the group's size
        if (groupRows_.HasLate(match))
            groupRows_.AddLate(match, e.file);
        else
            InsertFileRow(match, e.file);
        return;
    }
    HTREEITEM row = InsertGroupRow(e.first, count);
    if (!row) return;
    if (!e.expand) {
        // Nobody sees a collapsed group's files: they are made when it is opened.
        groupRows_.AddLate(row, e.first);
        groupRows_.AddLate(row, e.file);
        return;
    }
    InsertFileRow(row, e.first);
    InsertFileRow(row, e.file);
    TreeView_Expand(tree_.GetTreeCtrl(), row, TVE_EXPAND);
}

void CResultsView::SetCounts(const std::map<HTREEITEM, std::wstring>& counts) {
    // Setting a label makes Wine's tree walk every shown row for its scroll bars
    // (milliseconds a label once there are a hundred thousand groups). The counts
    // wait in the index instead, and every reader of a label, painting included,
    // sees them; the caller repaints.
    for (const auto& [row, count] : counts) groupRows_.SetLateCount(row, count);
}

bool CResultsView::RepaintDue() const {
    return rowsHeld_ && (GetTickCount() - lastRepaint_ >= repaintInterval_ || eventsSinceRepaint_ >= kRepaintRows);
}

bool CResultsView::ApplyFeed(FeedPace pace) {
    using Clock = std::chrono::steady_clock;
    // A tick that repaints makes only a few rows: the repaint alone is the tick's
    // share of the window's time.
    const int budgetMs = pace != FeedPace::Tick ? kStepMs : RepaintDue() ? 0 : kTickWorkMs;
    const auto until = Clock::now() + std::chrono::milliseconds(budgetMs);
    // From before the feed is emptied until its rows are made, a Flush elsewhere
    // must still wait for them.
    applying_ = true;
    struct Applied {
        std::atomic<bool>& flag;
        ~Applied() { flag = false; }
    } applied{applying_};
    CScanFeed::Batch batch = feed_.Take();
    // The line is refreshed once a tick, with the latest text: texts that follow each
    // other within one tick would never be painted, and under Wine each costs the edit
    // a third of a millisecond of text layout (a tree of many small folders ends
    // dozens of them a tick). The last text of a run is a folder's end, which the
    // feed never drops, so the line ends on it.
    if (!batch.status.empty()) SetWindowTextW(status_, batch.status.back().c_str());
    if (batch.counters) SetWindowTextW(counters_, batch.counters->c_str());
    bool rest = false;
    if (!batch.groups.empty()) {
        if (!rowsHeld_) {
            rows_.SetRedraw(false);
            rowsHeld_ = true;
        }
        std::map<HTREEITEM, std::wstring> counts;
        size_t done = 0;
        for (; done < batch.groups.size(); ++done) {
            // A long batch gives way to the user now and then: what is left goes back
            // to the feed for the next tick or slice.
            if (pace != FeedPace::All && done % 8 == 7 && (SomebodyWaits() || Clock::now() >= until)) break;
            if (auto event = feed_.Unpack(batch.groups[done])) ApplyGroupEvent(*event, counts);
        }
        rest = done < batch.groups.size();
        eventsSinceRepaint_ += done;
        if (rest)
            feed_.GiveBack({std::make_move_iterator(batch.groups.begin() + static_cast<std::ptrdiff_t>(done)),
                            std::make_move_iterator(batch.groups.end())});
        // The held rows show at the repaint below.
        SetCounts(counts);
    }
    // Held rows are repainted now and then; redrawing stays on until more rows
    // come, so whatever the user does to the tree meanwhile shows at once.
    const bool finish = pace != FeedPace::Tick && !rest;
    if (rowsHeld_ && (finish || RepaintDue())) {
        const DWORD start = GetTickCount();
        rows_.SetRedraw(true);
        // Painted with the next WM_PAINT: a message sent meanwhile is answered between
        // the tree's walk above and the painting, each a few dozen milliseconds (Wine,
        // a hundred thousand rows).
        InvalidateRect(tree_.GetTreeCtrl(), nullptr, FALSE);
        rowsHeld_ = false;
        eventsSinceRepaint_ = 0;
        lastRepaint_ = GetTickCount();
        // Turning redrawing back on costs the tree a walk over all its shown rows, so
        // a big tree is repainted less often: about a twentieth of the time goes there
        // (and as much again to paint), the rest is the search's.
        repaintInterval_ = std::clamp<DWORD>((lastRepaint_ - start) * 20, kRepaintMs, kRepaintMaxMs);
    }
    return !rest;
}
