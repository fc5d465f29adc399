#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

// Folder texts by number: the files of a whole disk share a hundredth as many
// folders, so a record keeps its folder's number instead of the text. A number
// stays valid until Clear. Not locked: the owner's lock guards it.
class CFolderNames {
public:
    CFolderNames() = default;
    CFolderNames(const CFolderNames&) = delete;
    CFolderNames& operator=(const CFolderNames&) = delete;

    // The folder's number, given when the text is new.
    uint32_t Number(std::wstring_view folder);
    const std::wstring& Text(uint32_t number) const { return texts_[number]; }
    size_t Count() const { return texts_.size(); }
    void Clear();

private:
    // A deque never moves its elements, so the views the index keys on stay valid.
    std::deque<std::wstring> texts_;
    std::unordered_map<std::wstring_view, uint32_t> numbers_;
};
