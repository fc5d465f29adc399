#include "view/TickTally.h"

void CTickTally::Set(HTREEITEM row, bool ticked, uint64_t size) {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = ticked_.find(row);
    if (it != ticked_.end()) {
        total_.bytes -= it->second;
        --total_.files;
        ticked_.erase(it);
    }
    if (!ticked) return;
    ticked_.emplace(row, size);
    total_.bytes += size;
    ++total_.files;
}

void CTickTally::SetLate(HTREEITEM group, size_t files, uint64_t bytes) {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = late_.find(group);
    if (it != late_.end()) {
        total_.files -= it->second.files;
        total_.bytes -= it->second.bytes;
        late_.erase(it);
    }
    if (!files) return;
    late_.emplace(group, STotal{files, bytes});
    total_.files += files;
    total_.bytes += bytes;
}

void CTickTally::SetGroup(HTREEITEM group, bool ticked) {
    std::lock_guard<std::mutex> guard(lock_);
    if (ticked)
        groups_.insert(group);
    else
        groups_.erase(group);
}

std::vector<HTREEITEM> CTickTally::TickedGroups() const {
    std::lock_guard<std::mutex> guard(lock_);
    return {groups_.begin(), groups_.end()};
}

void CTickTally::Drop(HTREEITEM row) {
    Set(row, false, 0);
    SetLate(row, 0, 0);
    SetGroup(row, false);
}

void CTickTally::Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    ticked_.clear();
    late_.clear();
    groups_.clear();
    total_ = {};
}

CTickTally::STotal CTickTally::Total() const {
    std::lock_guard<std::mutex> guard(lock_);
    return total_;
}

std::vector<HTREEITEM> CTickTally::Rows() const {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<HTREEITEM> rows;
    rows.reserve(ticked_.size());
    for (const auto& [row, size] : ticked_) rows.push_back(row);
    return rows;
}

std::vector<HTREEITEM> CTickTally::LateGroups() const {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<HTREEITEM> groups;
    for (const auto& [group, total] : late_) groups.push_back(group);
    return groups;
}
