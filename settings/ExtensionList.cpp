#include "settings/ExtensionList.h"

#include <algorithm>

bool ExtensionList::Contains(const std::wstring& text) const {
    if (items_.empty() || text.empty()) return false;
    return index_.count(text) != 0;
}

void ExtensionList::Add(const std::wstring& text) {
    if (index_.insert(text).second) items_.push_back(text);
}

void ExtensionList::Remove(const std::wstring& text) {
    if (index_.erase(text) == 0) return;
    items_.erase(std::find(items_.begin(), items_.end(), text));
}
