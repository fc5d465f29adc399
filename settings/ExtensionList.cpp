#include "settings/ExtensionList.h"

#include <algorithm>

bool ExtensionList::Contains(const std::wstring& text) const {
    if (items_.empty() || text.empty()) return false;
    return std::find(items_.begin(), items_.end(), text) != items_.end();
}

void ExtensionList::Add(const std::wstring& text) {
    if (std::find(items_.begin(), items_.end(), text) == items_.end()) items_.push_back(text);
}

void ExtensionList::Remove(const std::wstring& text) {
    auto it = std::find(items_.begin(), items_.end(), text);
    if (it != items_.end()) items_.erase(it);
}
