#include "view/GroupRowIndex.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include "engine/FreeLater.h"

#include "settings/Criteria.h"
#include "view/ResultColumns.h"

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

std::wstring CGroupRowIndex::KeyText(const SGroupRowKey& key) const {
    // No file name or column text holds a TAB: the tree's labels are split at it.
    std::wstring text = key.name;
    text += L'\t';
    if (criteria_ & kSameSize) text += key.size;
    text += L'\t';
    if (criteria_ & kSameTime) text += key.time;
    text += L'\t';
    if (criteria_ & kSameDigest) text += key.digest;
    return text;
}

HTREEITEM CGroupRowIndex::FirstMatching(const SGroupRowKey& key, unsigned char criteria) {
    std::lock_guard<std::mutex> guard(lock_);
    criteria &= kSameTime | kSameSize | kSameDigest;
    if (criteria != criteria_) {
        criteria_ = criteria;   // other criteria than the last search: file every row anew
        RebuildKeys();
    }
    auto it = byKey_.find(KeyText(key));
    return it == byKey_.end() || it->second.empty() ? nullptr : it->second.front();
}

bool CGroupRowIndex::KeyOf(HTREEITEM row, SGroupRowKey& key) const {
    std::lock_guard<std::mutex> guard(lock_);
    auto g = groups_.find(row);
    if (g == groups_.end()) return false;
    key = g->second.key;
    return true;
}

void CGroupRowIndex::RebuildKeys() {
    byKey_.clear();
    for (HTREEITEM row : order_) byKey_[KeyText(groups_.at(row).key)].push_back(row);
}

void CGroupRowIndex::FileUnderName(HTREEITEM row, HTREEITEM after) {
    const Group& g = groups_.at(row);
    std::vector<HTREEITEM>& rows = byName_[g.key.name];
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
        if (groups_.at(*it).key.name != g.key.name) continue;
        auto pos = std::find(rows.begin(), rows.end(), *it);
        rows.insert(pos == rows.end() ? rows.end() : pos + 1, row);
        return;
    }
    rows.insert(rows.begin(), row);
}

// After FileUnderName: rows of one key share their name, so the nearest row of the
// key above this one is found among the rows of its name, not the whole tree.
void CGroupRowIndex::FileUnderKey(HTREEITEM row, HTREEITEM after) {
    const Group& g = groups_.at(row);
    const std::wstring text = KeyText(g.key);
    std::vector<HTREEITEM>& rows = byKey_[text];
    if (std::next(g.at) == order_.end()) {
        rows.push_back(row);
        return;
    }
    auto same = std::find(rows.begin(), rows.end(), after);
    if (after && same != rows.end()) {
        rows.insert(same + 1, row);
        return;
    }
    const std::vector<HTREEITEM>& named = byName_.at(g.key.name);
    auto self = std::find(named.begin(), named.end(), row);
    for (auto it = std::make_reverse_iterator(self); it != named.rend(); ++it) {
        if (KeyText(groups_.at(*it).key) != text) continue;
        auto pos = std::find(rows.begin(), rows.end(), *it);
        rows.insert(pos == rows.end() ? rows.end() : pos + 1, row);
        return;
    }
    rows.insert(rows.begin(), row);
}

void CGroupRowIndex::Unfile(Buckets& buckets, const std::wstring& bucket, HTREEITEM row) {
    auto it = buckets.find(bucket);
    if (it == buckets.end()) return;
    auto& rows = it->second;
    rows.erase(std::remove(rows.begin(), rows.end(), row), rows.end());
    if (rows.empty()) buckets.erase(it);
}

void CGroupRowIndex::Unfile(HTREEITEM row) {
    const SGroupRowKey& key = groups_.at(row).key;
    Unfile(byName_, key.name, row);
    Unfile(byKey_, KeyText(key), row);
}

void CGroupRowIndex::Insert(HTREEITEM row, const SGroupRowKey& key, HTREEITEM after) {
    if (!row) return;
    std::lock_guard<std::mutex> guard(lock_);
    if (groups_.count(row)) return;
    auto anchor = after ? groups_.find(after) : groups_.end();
    const bool known = anchor != groups_.end();
    auto at = known ? order_.insert(std::next(anchor->second.at), row) : order_.insert(order_.end(), row);
    groups_[row] = Group{at, key, {}};   // may rehash: anchor is not used after this
    FileUnderName(row, known ? after : nullptr);
    FileUnderKey(row, known ? after : nullptr);
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
    lateCount_ -= g->second.late.size();
    Unfile(row);
    order_.erase(g->second.at);
    groups_.erase(g);
}

void CGroupRowIndex::Rename(HTREEITEM row, const std::wstring& name) {
    SGroupRowKey key;
    if (!KeyOf(row, key) || key.name == name) return;
    key.name = name;
    Refile(row, key);
}

void CGroupRowIndex::Refile(HTREEITEM row, const SGroupRowKey& key) {
    std::lock_guard<std::mutex> guard(lock_);
    auto g = groups_.find(row);
    if (g == groups_.end()) return;
    Unfile(row);
    g->second.key = key;
    FileUnderName(row, nullptr);
    FileUnderKey(row, nullptr);
}

void CGroupRowIndex::Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    // A whole disk's rows take long to free: another thread does it.
    FreeLater(std::make_tuple(std::exchange(groups_, {}), std::exchange(order_, {}), std::exchange(byName_, {}),
                              std::exchange(byKey_, {}), std::exchange(parentOf_, {})));
    lateCount_ = 0;
    lateFolders_.Clear();
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

std::vector<HTREEITEM> CGroupRowIndex::Rows() const {
    std::lock_guard<std::mutex> guard(lock_);
    return {order_.begin(), order_.end()};
}

bool CGroupRowIndex::Contains(HTREEITEM row) const {
    std::lock_guard<std::mutex> guard(lock_);
    return groups_.count(row) != 0;
}

bool CGroupRowIndex::Knows(HTREEITEM row) const {
    std::lock_guard<std::mutex> guard(lock_);
    return groups_.count(row) != 0 || parentOf_.count(row) != 0;
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

void CGroupRowIndex::AddLate(HTREEITEM group, const SFileInfo& file) {
    std::lock_guard<std::mutex> guard(lock_);
    auto g = groups_.find(group);
    if (g == groups_.end()) return;
    g->second.late.emplace_back(file, lateFolders_);
    if (!g->second.lateTicks.empty()) g->second.lateTicks.push_back(false);
    ++lateCount_;
}

bool CGroupRowIndex::HasLate(HTREEITEM group) const {
    std::lock_guard<std::mutex> guard(lock_);
    auto g = groups_.find(group);
    return g != groups_.end() && !g->second.late.empty();
}

std::vector<SFileInfo> CGroupRowIndex::TakeLate(HTREEITEM group, std::vector<bool>* ticks) {
    std::lock_guard<std::mutex> guard(lock_);
    auto g = groups_.find(group);
    if (g == groups_.end()) return {};
    std::vector<SFileInfo> late = UnpackLate(g->second);
    lateCount_ -= late.size();
    std::vector<CPackedFile>().swap(g->second.late);
    if (ticks) {
        *ticks = std::move(g->second.lateTicks);
        ticks->resize(late.size(), false);
    }
    std::vector<bool>().swap(g->second.lateTicks);
    return late;
}

std::vector<SFileInfo> CGroupRowIndex::LateFiles(HTREEITEM group) const {
    std::lock_guard<std::mutex> guard(lock_);
    auto g = groups_.find(group);
    return g == groups_.end() ? std::vector<SFileInfo>() : UnpackLate(g->second);
}

std::vector<SFileInfo> CGroupRowIndex::UnpackLate(const Group& group) const {
    std::vector<SFileInfo> late;
    late.reserve(group.late.size());
    for (const CPackedFile& file : group.late) late.push_back(file.Unpack(lateFolders_));
    return late;
}

std::vector<bool> CGroupRowIndex::LateTicks(HTREEITEM group) const {
    std::lock_guard<std::mutex> guard(lock_);
    auto g = groups_.find(group);
    if (g == groups_.end()) return {};
    std::vector<bool> ticks = g->second.lateTicks;
    ticks.resize(g->second.late.size(), false);
    return ticks;
}

void CGroupRowIndex::SetLateTicks(HTREEITEM group, std::vector<bool> ticks) {
    std::lock_guard<std::mutex> guard(lock_);
    auto g = groups_.find(group);
    if (g == groups_.end()) return;
    ticks.resize(g->second.late.size(), false);
    if (std::none_of(ticks.begin(), ticks.end(), [](bool t) { return t; })) ticks.clear();
    g->second.lateTicks = std::move(ticks);
}

size_t CGroupRowIndex::LateCount() const {
    std::lock_guard<std::mutex> guard(lock_);
    return lateCount_;
}

void CGroupRowIndex::OnRowTextChanged(HTREEITEM row, int column, const std::wstring& text) {
    if (column < kNameColumn || column == kPathColumn || column > kDigestColumn) return;   // counts, paths
    SGroupRowKey key;
    if (!KeyOf(row, key)) return;
    std::wstring& part = column == kNameColumn ? key.name
                         : column == kSizeColumn ? key.size
                         : column == kTimeColumn ? key.time
                                                 : key.digest;
    if (part == text) return;
    part = text;
    Refile(row, key);
}

void CGroupRowIndex::SetLateCount(HTREEITEM group, const std::wstring& count) {
    std::lock_guard<std::mutex> guard(lock_);
    auto g = groups_.find(group);
    if (g != groups_.end()) g->second.lateCount = count;
}

bool CGroupRowIndex::LateCountOf(HTREEITEM group, std::wstring& count) const {
    std::lock_guard<std::mutex> guard(lock_);
    auto g = groups_.find(group);
    if (g == groups_.end() || g->second.lateCount.empty()) return false;
    count = g->second.lateCount;
    return true;
}

void CGroupRowIndex::DropLateCount(HTREEITEM group) {
    std::lock_guard<std::mutex> guard(lock_);
    auto g = groups_.find(group);
    if (g != groups_.end()) g->second.lateCount.clear();
}
