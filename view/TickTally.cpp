#include "view/TickTally.h"

void CTickTally::Set(HTREEITEM row, bool ticked, uint64_t size) {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = ticked_.find(row);
    if (it != ticked_.end()) {
        bytes_ -= it->second;
        ticked_.erase(it);
    }
    if (!ticked) return;
    ticked_.emplace(row, size);
    bytes_ += size;
}

void CTickTally::Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    ticked_.clear();
    bytes_ = 0;
}

CTickTally::STotal CTickTally::Total() const {
    std::lock_guard<std::mutex> guard(lock_);
    return {ticked_.size(), bytes_};
}

std::vector<HTREEITEM> CTickTally::Rows() const {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<HTREEITEM> rows;
    rows.reserve(ticked_.size());
    for (const auto& [row, size] : ticked_) rows.push_back(row);
    return rows;
}
