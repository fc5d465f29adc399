#pragma once
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>
#include <unordered_map>

#include "engine/FileInfo.h"
#include "view/ColumnTreeCtrl.h"
#include "view/GroupRowIndex.h"
#include "view/IResults.h"
#include "view/LateRows.h"
#include "view/ScanFeed.h"
#include "view/TickRows.h"
#include "view/TickTally.h"
#include "view/TreeResults.h"

class CFileInfoMap;
class CProtectedFolders;
struct FindSettingStruct;
enum class ETickRule;

// The results of the main window: the column tree, the index of its group rows, the
// fast feed and its repaint state, and the making of every row.
//
// A group reaching two files or growing is one group event, and one path turns an
// event into rows: the pace decides only when that happens. The default pace applies
// each event as it comes (the worker waits for the window's thread, and pays the
// specified pause for finding a grown group's row); fast mode hands the events to the
// feed, and the window applies them on its tick with redrawing held off, repainting
// every so often.
//
// A group whose row is not expanded when it is made holds its file rows back in the
// group row index, and they are made in order when somebody first reaches the
// group's children (expanding it, asking for its first child): a search of a whole
// disk makes one row per group, not one per file. Whatever reads the rows sees the
// same rows, texts and ticks either way.
//
// Threads: the row operations and Rows() reach the tree only by messages and hold
// no lock across one, so any thread may call them; the On* handlers run on the
// window's thread.
class CResultsView : private ILateRows, private ITickRows, private IColumnTreeObserver {
public:
    // The groups, the search settings (read under the data lock), and the words a
    // pause in the default pace gives way to.
    CResultsView(CFileInfoMap& groups, const FindSettingStruct& setting, const std::atomic<uint32_t>& findFlags,
                 const std::atomic<int32_t>& closing)
        : groups_(groups), setting_(setting), findFlags_(findFlags), closing_(closing) {}
    CResultsView(const CResultsView&) = delete;
    CResultsView& operator=(const CResultsView&) = delete;

    CColumnTreeCtrl& Tree() { return tree_; }
    CGroupRowIndex& GroupRows() { return groupRows_; }
    // The rows as the file passes see them.
    IResults& Rows() { return rows_; }

    // Once the tree is attached (WM_INITDIALOG): its styles, the system's small-icon
    // list, the columns and the feed's tick on `owner`; `status` and `counters` are the
    // edits that the feed's texts go to. Returns the image list (not owned).
    HIMAGELIST Init(HWND owner, HWND status, HWND counters);

    // --- row operations ---
    HTREEITEM AddGroupRow(const SFileInfo& first);
    HTREEITEM AddFileRow(HTREEITEM group, const SFileInfo& file);
    // Null when no group row shows `first`; nothing is added then. The default pace
    // pauses first, one millisecond per group row before the name's first one.
    HTREEITEM AddFileToGroup(const SFileInfo& first, const SFileInfo& file);
    // Expands (or collapses) every group row made so far. A big tree goes in slices
    // on kRowStepTimer, the status line saying so; a later call, a clear or the
    // window's end stops it.
    void ExpandAll(bool expand);
    // Expanding or collapsing all is still under way (any thread may ask).
    bool Expanding() const { return expanding_; }
    // Group rows, file rows and the file rows groups hold back.
    size_t RowCount() const;
    // Deletes every row (with redrawing left as it is) and what the feed still holds.
    // A tree of many rows is replaced by an empty one (CColumnTreeCtrl::ReplaceTree).
    void DeleteAllRows();
    void SetReplaceTreeFrom(size_t rows) { replaceTreeFrom_ = rows; }
    // A click on a row's check box (or the space key on it), in place of the tree's
    // own flip: a group row's files follow it, a group row is ticked when its last
    // file is, and a protected file's box stays empty.
    void ToggleTick(HTREEITEM row);
    // The tree is kept from flipping a clicked box itself (its parent answers the
    // click nonzero, as documented); should it flip it all the same after the click,
    // the box is put back as ToggleTick left it once the click is over.
    void NoteClickedTick(HTREEITEM row);
    void SettleTick(HTREEITEM row, bool ticked);         // WM_TICK_SETTLE

    // --- what goes ---
    // The folders whose files are never ticked and are shown grey (not owned; may be
    // null).
    void SetProtectedFolders(const CProtectedFolders* folders) { protected_ = folders; }
    // A file row in a protected folder.
    bool RowProtected(HTREEITEM row) const;
    // Unticks the protected files' boxes after the list grew, and repaints.
    void FollowProtection();
    // A selection rule over every group; `folder` for ETickRule::TickFolder.
    void ApplyRule(ETickRule rule, const std::wstring& folder = {});
    // The two read-only fields the space at stake goes to, refreshed on the tick.
    void SetSummaryFields(HWND groups, HWND ticked) {
        summaryGroups_ = groups;
        summaryTicked_ = ticked;
    }
    // What they show: the groups and the bytes beyond one copy per group; the ticked
    // files and their bytes. Sizes as the size column writes them.
    static std::wstring GroupsSummary(uint32_t groups, uint64_t spare);
    static std::wstring TickedSummary(size_t files, uint64_t bytes);
    CTickTally::STotal TickedTotal() const { return tally_.Total(); }
    void ShowSummary();

    // --- what the scan reports (the search worker) ---
    void Status(const std::wstring& text, bool lasting, bool fast);
    void Counters(const std::wstring& text, bool fast);
    void GroupReachedTwo(const SFileInfo& first, const SFileInfo& second, bool expand, unsigned clears, bool fast);
    void GroupGrew(const SFileInfo& first, const SFileInfo& record, unsigned clears, bool fast);
    void RedrawResults();
    // Shows everything the feed holds and repaints held rows: directly on the
    // window's thread, through WM_SCAN_FLUSH from any other, which waits for the
    // slices that a long backlog takes.
    void Flush();
    // The status line, after whatever older texts the feed still holds.
    bool ShowStatus(const std::wstring& text);

    // --- the window's thread ---
    void OnTick();                                       // kScanTickTimer
    void OnRowStep();                                    // kRowStepTimer
    LRESULT OnFlush();                                   // WM_SCAN_FLUSH: 1 while rows remain
    void OnRows(const CScanFeed::GroupEvent& event);     // WM_SCAN_ROWS

private:
    void MakeLateRows(HTREEITEM group) override;
    bool HasFileRows(HTREEITEM group) const override;
    bool LateCount(HTREEITEM group, std::wstring& count) const override { return groupRows_.LateCountOf(group, count); }
    void DropLateCount(HTREEITEM group) override { groupRows_.DropLateCount(group); }
    void RowTickSet(HTREEITEM row, bool ticked) override;
    // A group's late files get these ticks, counted in the tally.
    void SetLateTicks(HTREEITEM group, const std::vector<SFileInfo>& files, std::vector<bool> ticks);
    void TickKey(HTREEITEM row) override { ToggleTick(row); }
    void OnRowTextChanged(HTREEITEM row, int column, const std::wstring& text) override {
        groupRows_.OnRowTextChanged(row, column, text);
    }
    void OnRowDeleted(HTREEITEM row) override {
        groupRows_.OnRowDeleted(row);
        tally_.Drop(row);
    }
    // The one way rows are made: a whole label at once, its icon by extension.
    // A group row (under the root) asks for its expand button, so it shows one before
    // its file rows are made and none once they are all gone.
    HTREEITEM InsertRow(HTREEITEM parent, HTREEITEM after, const std::wstring& count, const SFileInfo& file);
    HTREEITEM InsertGroupRow(const SFileInfo& first, const std::wstring& count);
    HTREEITEM InsertFileRow(HTREEITEM group, const SFileInfo& file);
    int IconOf(const std::wstring& path);
    HTREEITEM GroupAnchor(const std::wstring& name);
    HTREEITEM MatchingGroupRow(const SFileInfo& first);
    // The criteria as the grouping uses them now, and the pace, under the data lock.
    unsigned char GroupCriteria() const;
    bool FastNow() const;
    void PauseRows(size_t rows);
    // A grown group's new count goes to `counts` (its row, the count text) instead
    // of the row, to be set once for the whole batch by SetCounts.
    void ApplyGroupEvent(const CScanFeed::GroupEvent& event, std::map<HTREEITEM, std::wstring>& counts);
    void SetCounts(const std::map<HTREEITEM, std::wstring>& counts);
    // All: the whole feed at once (on the window's thread). Tick and Slice stop when
    // somebody waits for the window or their time is up, and give the rest back.
    // True when nothing was given back.
    enum class FeedPace { Tick, Slice, All };
    bool ApplyFeed(FeedPace pace);
    // Held rows have waited long enough, or are many enough, to be repainted.
    bool RepaintDue() const;
    // One slice of ExpandAll; false once every row is done.
    bool StepJob();
    void EndJob();

    CFileInfoMap& groups_;
    const FindSettingStruct& setting_;
    const std::atomic<uint32_t>& findFlags_;
    const std::atomic<int32_t>& closing_;

    CColumnTreeCtrl tree_;
    CTreeResults rows_{tree_};
    CGroupRowIndex groupRows_;
    HWND owner_ = nullptr;
    HWND status_ = nullptr;
    HWND counters_ = nullptr;

    // Fast mode: what the scan hands over without waiting; rows are held with
    // redrawing off between repaints.
    CScanFeed feed_;
    std::atomic<bool> rowsHeld_{false};
    std::atomic<bool> applying_{false};   // ApplyFeed is under way
    DWORD lastRepaint_ = 0;
    DWORD repaintInterval_ = 150;
    size_t eventsSinceRepaint_ = 0;

    // ExpandAll under way: the group rows in the order they are done.
    struct RowJob {
        bool expand = false;
        std::vector<HTREEITEM> rows;
        size_t next = 0;
        std::wstring status;   // the status line before it
        bool announced = false;   // the status line says it is under way
    };
    std::optional<RowJob> job_;
    size_t replaceTreeFrom_ = 5000;
    std::atomic<bool> expanding_{false};

    const CProtectedFolders* protected_ = nullptr;
    CTickTally tally_;
    HWND summaryGroups_ = nullptr;
    HWND summaryTicked_ = nullptr;

    // The shell picks the icon of a name it does not read by its extension alone, so
    // one look-up per extension does.
    std::mutex iconLock_;
    std::unordered_map<std::wstring, int> iconByExtension_;
};

// The window's tick that shows the fast feed.
constexpr UINT_PTR kScanTickTimer = 0x5CA7;
// The window's tick that expands or collapses all in slices.
constexpr UINT_PTR kRowStepTimer = 0x5CA8;
