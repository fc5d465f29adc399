#pragma once
// The results in plain memory, for the passes' unit tests: group rows and file rows
// with their six column texts and ticks, filled as the scan fills the window's tree.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/FileInfoMap.h"
#include "view/IResults.h"
#include "view/ResultColumns.h"
#include "view/ResultText.h"

class CMemoryResults : public IResults {
public:
    HTREEITEM FirstGroup() const override { return groups_.empty() ? nullptr : groups_.front(); }
    HTREEITEM FirstChild(HTREEITEM row) const override {
        const Row* r = Find(row);
        return r && !r->children.empty() ? r->children.front() : nullptr;
    }
    HTREEITEM NextSibling(HTREEITEM row) const override {
        const Row* r = Find(row);
        if (!r) return nullptr;
        const std::vector<HTREEITEM>& list = r->parent ? rows_.at(r->parent).children : groups_;
        auto at = std::find(list.begin(), list.end(), row);
        return at + 1 < list.end() ? *(at + 1) : nullptr;
    }
    HTREEITEM Parent(HTREEITEM row) const override {
        const Row* r = Find(row);
        return r ? r->parent : nullptr;
    }
    HTREEITEM Selected() const override { return selected; }
    std::wstring Text(HTREEITEM row, int column) const override {
        const Row* r = Find(row);
        return r ? r->texts[column] : std::wstring();
    }
    bool Ticked(HTREEITEM row) const override {
        const Row* r = Find(row);
        return r && r->ticked;
    }
    void SetTicked(HTREEITEM row, bool on) override {
        if (Row* r = Find(row)) r->ticked = on;
    }
    void SetText(HTREEITEM row, int column, const std::wstring& text) override {
        if (Row* r = Find(row)) r->texts[column] = text;
    }
    void DeleteRow(HTREEITEM row) override {
        Row* r = Find(row);
        if (!r) return;
        for (HTREEITEM child : std::vector<HTREEITEM>(r->children)) DeleteRow(child);
        std::vector<HTREEITEM>& list = r->parent ? rows_.at(r->parent).children : groups_;
        list.erase(std::find(list.begin(), list.end(), row));
        if (selected == row) selected = nullptr;
        rows_.erase(row);
    }
    void SetRedraw(bool on) override { redrawOn = on; }
    void Repaint() override { ++repaints; }

    void Tick(HTREEITEM row, bool on = true) { Find(row)->ticked = on; }
    bool Contains(HTREEITEM row) const { return Find(row) != nullptr; }
    std::vector<HTREEITEM> Groups() const { return groups_; }
    std::vector<HTREEITEM> Children(HTREEITEM group) const { return Find(group)->children; }

    // One found file: into its group in `map`, then rows once the group has two or
    // more, as the scan and the window's row operations make them.
    void AddFound(CFileInfoMap& map, const SFileInfo& file) {
        int size = 0;
        SFileInfo first;
        if (map.AddFile(file, size, first) < 0 || size < 2) return;
        const std::wstring key = map.MakeKey(first);
        if (size == 2) {
            HTREEITEM group = NewRow(nullptr, std::to_wstring(size), first);
            byKey_[key] = group;
            NewRow(group, L"1", first);
            NewRow(group, L"2", file);
            return;
        }
        HTREEITEM group = byKey_.at(key);
        SetText(group, kCountColumn, std::to_wstring(size));
        NewRow(group, std::to_wstring(Children(group).size() + 1), file);
    }

    HTREEITEM selected = nullptr;
    bool redrawOn = true;
    int repaints = 0;

private:
    struct Row {
        HTREEITEM parent = nullptr;
        std::vector<std::wstring> texts = std::vector<std::wstring>(kResultColumnCount);
        bool ticked = false;
        std::vector<HTREEITEM> children;
    };
    HTREEITEM NewRow(HTREEITEM parent, const std::wstring& count, const SFileInfo& file) {
        HTREEITEM handle = reinterpret_cast<HTREEITEM>(static_cast<uintptr_t>(++last_ * 16));
        Row& row = rows_[handle];
        row.parent = parent;
        row.texts = {count, file.strName, file.strPath, SizeText(file.nSize), file.strTime, file.strMD5};
        (parent ? rows_.at(parent).children : groups_).push_back(handle);
        return handle;
    }
    const Row* Find(HTREEITEM row) const {
        auto it = rows_.find(row);
        return it == rows_.end() ? nullptr : &it->second;
    }
    Row* Find(HTREEITEM row) {
        auto it = rows_.find(row);
        return it == rows_.end() ? nullptr : &it->second;
    }

    std::map<HTREEITEM, Row> rows_;
    std::vector<HTREEITEM> groups_;
    std::map<std::wstring, HTREEITEM> byKey_;
    uintptr_t last_ = 0;
};
