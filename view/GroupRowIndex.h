#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <list>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/FileInfo.h"
#include "engine/PackedFile.h"
#include "view/ColumnTreeObserver.h"

// What a group row shows in the columns a group can be matched by.
struct SGroupRowKey {
    std::wstring name;     // column 1
    std::wstring size;     // column 3
    std::wstring time;     // column 4
    std::wstring digest;   // column 5

    bool operator==(const SGroupRowKey&) const = default;
};

// The group rows of the results in display order, found by the name shown in their
// column 1 or by their whole key, with the number of file rows under each. It lets
// the row operations find a group row without walking the tree row by row through
// window messages.
//
// It follows the tree by itself once set as the column tree's observer: deleted
// rows leave it (TVN_DELETEITEM) and a new column-1 text re-files a row. Rows must be
// added through Insert/AddChild (the row operations do that). Thread-safe: its own
// lock is held only inside each call.
class CGroupRowIndex : public IColumnTreeObserver {
public:
    // The first group row in display order showing this name, or null.
    HTREEITEM FirstWithName(const std::wstring& name) const;
    // All group rows showing this name, in display order.
    std::vector<HTREEITEM> RowsWithName(const std::wstring& name) const;
    // The first group row in display order showing key's name and, for each
    // CriteriaBit set, key's text in that column; or null. A row showing the same
    // name may be one of many thousands (a translation file in every language).
    HTREEITEM FirstMatching(const SGroupRowKey& key, unsigned char criteria);
    // What the index holds for a group row's columns (false when the row is unknown).
    bool KeyOf(HTREEITEM row, SGroupRowKey& key) const;
    // A group row inserted directly after `after` (null or unknown: at the end).
    void Insert(HTREEITEM row, const SGroupRowKey& key, HTREEITEM after);
    void Insert(HTREEITEM row, const std::wstring& name, HTREEITEM after) { Insert(row, SGroupRowKey{name}, after); }
    // A group row or a file row left the tree; unknown rows are ignored.
    void Remove(HTREEITEM row);
    // Column 1 of a group row now shows `name`.
    void Rename(HTREEITEM row, const std::wstring& name);
    // A group row shows these texts now (found different from what was filed).
    void Refile(HTREEITEM row, const SGroupRowKey& key);
    void Clear();

    // Group rows before `row` in display order; Size() when the row is unknown.
    size_t Position(HTREEITEM row) const;
    size_t Size() const;
    // Every group row in display order.
    std::vector<HTREEITEM> Rows() const;
    bool Contains(HTREEITEM row) const;
    // A group row or one of its file rows, still in the tree.
    bool Knows(HTREEITEM row) const;

    void AddChild(HTREEITEM group, HTREEITEM child);
    // File rows under a group row, or -1 when the group row is unknown.
    int ChildCount(HTREEITEM group) const;

    // File rows not made yet: a group row holds its files here until somebody looks
    // at its children (see CResultsView::MakeLateRows). Late files come after every
    // made one, so a group row with late files has no file rows yet.
    void AddLate(HTREEITEM group, const SFileInfo& file);
    bool HasLate(HTREEITEM group) const;
    // Hands the late files over in order, with their ticks when `ticks` is given;
    // they are no longer held here.
    std::vector<SFileInfo> TakeLate(HTREEITEM group, std::vector<bool>* ticks = nullptr);
    // The late files in order, still held; and the ticks a rule gave them, which
    // their rows get when they are made (none ticked until then).
    std::vector<SFileInfo> LateFiles(HTREEITEM group) const;
    std::vector<bool> LateTicks(HTREEITEM group) const;
    void SetLateTicks(HTREEITEM group, std::vector<bool> ticks);
    // Late files of every group row.
    size_t LateCount() const;
    // A group row's newest count text, not yet in the tree (see ILateRows).
    void SetLateCount(HTREEITEM group, const std::wstring& count);
    bool LateCountOf(HTREEITEM group, std::wstring& count) const;
    void DropLateCount(HTREEITEM group);

    void OnRowTextChanged(HTREEITEM row, int column, const std::wstring& text) override;
    void OnRowDeleted(HTREEITEM row) override { Remove(row); }

private:
    struct Group {
        std::list<HTREEITEM>::iterator at;
        SGroupRowKey key;
        std::unordered_set<HTREEITEM> children;
        std::vector<CPackedFile> late;   // packed: a whole disk leaves most files here
        std::vector<bool> lateTicks;     // empty: none ticked
        std::wstring lateCount;          // empty: the tree's count holds
    };
    using Buckets = std::unordered_map<std::wstring, std::vector<HTREEITEM>>;

    std::wstring KeyText(const SGroupRowKey& key) const;
    // The group's late files as records (lock held by the caller).
    std::vector<SFileInfo> UnpackLate(const Group& group) const;
    void FileUnderName(HTREEITEM row, HTREEITEM after);
    void FileUnderKey(HTREEITEM row, HTREEITEM after);
    static void Unfile(Buckets& buckets, const std::wstring& bucket, HTREEITEM row);
    void Unfile(HTREEITEM row);
    void RebuildKeys();

    mutable std::mutex lock_;
    std::list<HTREEITEM> order_;
    std::unordered_map<HTREEITEM, Group> groups_;
    Buckets byName_;   // each in display order
    Buckets byKey_;    // by KeyText with criteria_, each in display order
    unsigned char criteria_ = 0;
    std::unordered_map<HTREEITEM, HTREEITEM> parentOf_;
    size_t lateCount_ = 0;
    CFolderNames lateFolders_;
};
