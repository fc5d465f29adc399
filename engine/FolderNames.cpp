#include "engine/FolderNames.h"

uint32_t CFolderNames::Number(std::wstring_view folder) {
    auto found = numbers_.find(folder);
    if (found != numbers_.end()) return found->second;
    const auto number = static_cast<uint32_t>(texts_.size());
    texts_.emplace_back(folder);
    numbers_.emplace(texts_.back(), number);
    return number;
}

void CFolderNames::Clear() {
    numbers_.clear();
    texts_.clear();
}
