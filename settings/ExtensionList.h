#pragma once
#include <string>
#include <unordered_set>
#include <vector>

// Ordered set of file extensions, kept in insertion order. Comparisons are exact
// and case-sensitive: "DOC" and "doc" are two entries. A hash index beside the order
// keeps Contains and Add at one look-up, so a list of 100,000 lines loads in
// linear time and the scan's filter costs the same for any list.
class ExtensionList {
public:
    bool Contains(const std::wstring& text) const;
    void Add(const std::wstring& text);
    void Remove(const std::wstring& text);
    void Clear() {
        items_.clear();
        index_.clear();
    }

    bool empty() const { return items_.empty(); }
    size_t size() const { return items_.size(); }
    const std::wstring& operator[](size_t i) const { return items_[i]; }
    std::vector<std::wstring>::const_iterator begin() const { return items_.begin(); }
    std::vector<std::wstring>::const_iterator end() const { return items_.end(); }

private:
    std::vector<std::wstring> items_;
    std::unordered_set<std::wstring> index_;
};
