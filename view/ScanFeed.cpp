#include "view/ScanFeed.h"

#include <iterator>

void CScanFeed::Status(std::wstring text, bool lasting) {
    std::lock_guard<std::mutex> guard(lock_);
    if (lastPassing_ && !status_.empty())
        status_.back() = std::move(text);
    else
        status_.push_back(std::move(text));
    lastPassing_ = !lasting;
}

void CScanFeed::Counters(std::wstring text) {
    std::lock_guard<std::mutex> guard(lock_);
    counters_ = std::move(text);
}

void CScanFeed::Group(const GroupEvent& event) {
    std::lock_guard<std::mutex> guard(lock_);
    groups_.push_back({CPackedFile(event.first, folders_), CPackedFile(event.file, folders_), event.grew, event.expand,
                       event.count, event.clears, table_});
}

std::optional<CScanFeed::GroupEvent> CScanFeed::Unpack(const PackedEvent& event) const {
    std::lock_guard<std::mutex> guard(lock_);
    if (event.table != table_) return std::nullopt;
    return GroupEvent{event.first.Unpack(folders_), event.file.Unpack(folders_), event.grew, event.expand, event.count,
                      event.clears};
}

CScanFeed::Batch CScanFeed::Take() {
    std::lock_guard<std::mutex> guard(lock_);
    Batch b;
    b.status.swap(status_);
    b.counters.swap(counters_);
    b.groups.swap(groups_);
    lastPassing_ = false;
    return b;
}

void CScanFeed::GiveBack(std::vector<PackedEvent> rest) {
    std::lock_guard<std::mutex> guard(lock_);
    rest.insert(rest.end(), std::make_move_iterator(groups_.begin()), std::make_move_iterator(groups_.end()));
    groups_.swap(rest);
}

void CScanFeed::DropGroups() {
    std::lock_guard<std::mutex> guard(lock_);
    groups_.clear();
    // Events still in the window's hands were packed against this table: they
    // unpack to nothing from now on.
    folders_.Clear();
    ++table_;
}

bool CScanFeed::Empty() const {
    std::lock_guard<std::mutex> guard(lock_);
    return status_.empty() && !counters_ && groups_.empty();
}
