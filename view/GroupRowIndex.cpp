#include "view/GroupRowIndex.h"

#include <algorithm>

HTREEITEM CGroupRowIndex::FirstWithName(const std::wstring& name) const {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = byName_.find(name);
    return it == byName_.end() || it->second.empty() ? nullptr : it->second.front();
}

std::vector<HTREEITEM> CGroupRowIndex::RowsWithName(const std::wstring& name) const {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = byName_.find(name);
    return it == byName_.end() ? std::vector<HTREEITEM>{} : it->second;
}

void CGroupRowIndex::FileUnderName(HTREEITEM row, const std::wstring& name, HTREEITEM after) {
    std::vector<HTREEITEM>& rows = byName_[name];
    const Group& g = groups_.at(row);
    if (std::next(g.at) == order_.end()) {
        rows.push_back(row);   // last in display order, so last of its name too
        return;
    }
    auto same = std::find(rows.begin(), rows.end(), after);
    if (after && same != rows.end()) {
        rows.insert(same + 1, row);
        return;
    }
    // Otherwise the row goes after the nearest row of that name above it.
    auto it = std::list<HTREEITEM>::reverse_iterator(g.at);
    for (; it != order_.rend(); ++it) {
        if (groups_.at(*it).name != name) continue;
        auto pos = std::find(rows.begin(), rows.end(), *it);
        rows.insert(pos == rows.end() ? rows.end() : pos + 1, row);
        return;
    }
    rows.insert(rows.begin(), row);
}

void CGroupRowIndex::UnfileName(HTREEITEM row, const std::wstring& name) {
    auto it = byName_.find(name);
    if (it == byName_.end()) return;
    auto& rows = it->second;
    rows.erase(std::remove(rows.begin(), rows.end(), row), rows.end());
    if (rows.empty()) byName_.erase(it);
}

void CGroupRowIndex::Insert(HTREEITEM row, const std::wstring& name, HTREEITEM after) {
    if (!row) return;
    std::lock_guard<std::mutex> guard(lock_);
    if (groups_.count(row)) return;
    auto anchor = after ? groups_.find(after) : groups_.end();
    const bool known = anchor != groups_.end();
    auto at = known ? order_.insert(std::next(anchor->second.at), row) : order_.insert(order_.end(), row);
    groups_[row] = Group{at, name, {}};   // may rehash: anchor is not used after this
    FileUnderName(row, name, known ? after : nullptr);
}

void CGroupRowIndex::Remove(HTREEITEM row) {
    std::lock_guard<std::mutex> guard(lock_);
    auto child = parentOf_.find(row);
    if (child != parentOf_.end()) {
        auto g = groups_.find(child->second);
        if (g != groups_.end()) g->second.children.erase(row);
        parentOf_.erase(child);
        return;
    }
    auto g = groups_.find(row);
    if (g == groups_.end()) return;
    for (HTREEITEM c : g->second.children) parentOf_.erase(c);
    UnfileName(row, g->second.name);
    order_.erase(g->second.at);
    groups_.erase(g);
}

void CGroupRowIndex::Rename(HTREEITEM row, const std::wstring& name) {
    std::lock_guard<std::mutex> guard(lock_);
    auto g = groups_.find(row);
    if (g == groups_.end() || g->second.name == name) return;
    UnfileName(row, g->second.name);
    g->second.name = name;
    FileUnderName(row, name, nullptr);
}

void CGroupRowIndex::Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    order_.clear();
    groups_.clear();
    byName_.clear();
    parentOf_.clear();
}

size_t CGroupRowIndex::Position(HTREEITEM row) const {
    std::lock_guard<std::mutex> guard(lock_);
    auto g = groups_.find(row);
    if (g == groups_.end()) return order_.size();
    return static_cast<size_t>(std::distance(order_.begin(), std::list<HTREEITEM>::const_iterator(g->second.at)));
}

size_t CGroupRowIndex::Size() const {
    std::lock_guard<std::mutex> guard(lock_);
    return order_.size();
}

bool CGroupRowIndex::Contains(HTREEITEM row) const {
    std::lock_guard<std::mutex> guard(lock_);
    return groups_.count(row) != 0;
}

void CGroupRowIndex::AddChild(HTREEITEM group, HTREEITEM child) {
    if (!child) return;
    std::lock_guard<std::mutex> guard(lock_);
    auto g = groups_.find(group);
    if (g == groups_.end()) return;
    g->second.children.insert(child);
    parentOf_[child] = group;
}

int CGroupRowIndex::ChildCount(HTREEITEM group) const {
    std::lock_guard<std::mutex> guard(lock_);
    auto g = groups_.find(group);
    return g == groups_.end() ? -1 : static_cast<int>(g->second.children.size());
}

void CGroupRowIndex::OnRowTextChanged(HTREEITEM row, int column, const std::wstring& text) {
    if (column == 1) Rename(row, text);
}
