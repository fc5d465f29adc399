#include "engine/DigestStore.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "engine/MD5Checksum.h"
#include "win/Handles.h"

namespace {

// "TWDS", version, count; then the entries; then the MD5 of everything before it.
constexpr uint32_t kMagic = 0x53445754;
constexpr uint32_t kVersion = 1;
constexpr size_t kEntryBytes = 4 + 8 + 8 + 8 + 8 + 8 + 16;

uint64_t Now() {
    FILETIME t;
    GetSystemTimeAsFileTime(&t);
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

template <class T>
void Put(std::vector<unsigned char>& out, T value) {
    const auto* p = reinterpret_cast<const unsigned char*>(&value);
    out.insert(out.end(), p, p + sizeof value);
}

template <class T>
T Take(const unsigned char*& p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    p += sizeof value;
    return value;
}

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

}  // namespace

void CDigestStore::Open(const std::wstring& path) {
    Entries read;
    if (!path.empty()) Read(path, read);
    std::lock_guard<std::mutex> guard(lock_);
    path_ = path;
    entries_ = std::move(read);
    changed_ = false;
    cleared_ = false;
}

std::optional<std::wstring> CDigestStore::Find(const SFileId& id, const SStatus& status) {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = entries_.find(id);
    if (it == entries_.end()) return std::nullopt;
    SEntry& e = it->second;
    if (e.size != status.size || e.lastWrite != status.lastWrite || e.madeAt < status.lastWrite + kTrustGap)
        return std::nullopt;
    e.used = Now();
    changed_ = true;
    return DigestText(e.digest);
}

void CDigestStore::Store(const SFileId& id, const SStatus& status, uint64_t madeAt, const std::wstring& digest) {
    if (digest.size() != 32) return;
    SEntry e;
    e.size = status.size;
    e.lastWrite = status.lastWrite;
    e.madeAt = madeAt;
    e.used = Now();
    for (size_t i = 0; i < 16; ++i) {
        const int hi = HexValue(digest[2 * i]), lo = HexValue(digest[2 * i + 1]);
        if (hi < 0 || lo < 0) return;
        e.digest[i] = static_cast<unsigned char>(hi * 16 + lo);
    }
    std::lock_guard<std::mutex> guard(lock_);
    entries_[id] = e;
    changed_ = true;
}

bool CDigestStore::Save() {
    Entries mine;
    std::wstring path;
    bool cleared;
    size_t bound;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (!changed_ || path_.empty()) return true;
        mine = entries_;
        path = path_;
        cleared = cleared_;
        bound = bound_;
    }
    // Another program may have written since: its entries stay, the newer use wins.
    Entries merged;
    if (!cleared) Read(path, merged);
    for (auto& [id, e] : mine) {
        auto [it, added] = merged.try_emplace(id, e);
        if (!added && it->second.used < e.used) it->second = e;
    }
    if (merged.size() > bound) {
        std::vector<std::pair<uint64_t, SFileId>> byUse;
        byUse.reserve(merged.size());
        for (const auto& [id, e] : merged) byUse.emplace_back(e.used, id);
        const size_t drop = merged.size() - bound;
        std::nth_element(byUse.begin(), byUse.begin() + static_cast<std::ptrdiff_t>(drop), byUse.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (size_t i = 0; i < drop; ++i) merged.erase(byUse[i].second);
    }
    if (!Write(path, merged)) return false;
    std::lock_guard<std::mutex> guard(lock_);
    // What the other program wrote is known here too from now on.
    for (auto& [id, e] : merged) entries_.try_emplace(id, e);
    for (auto it = entries_.begin(); it != entries_.end();)
        it = merged.count(it->first) ? std::next(it) : entries_.erase(it);
    changed_ = false;
    cleared_ = false;
    return true;
}

void CDigestStore::Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    entries_.clear();
    changed_ = true;
    cleared_ = true;
}

size_t CDigestStore::Count() const {
    std::lock_guard<std::mutex> guard(lock_);
    return entries_.size();
}

uint64_t CDigestStore::FileBytes() const {
    std::wstring path;
    {
        std::lock_guard<std::mutex> guard(lock_);
        path = path_;
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool CDigestStore::Read(const std::wstring& path, Entries& into) {
    into.clear();
    win::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    // A file larger than the bound allows is no file of ours.
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 12 + 16 ||
        static_cast<uint64_t>(size.QuadPart) > 12 + 16 + (kMostEntries + 1) * kEntryBytes)
        return false;
    std::vector<unsigned char> bytes(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) || got != bytes.size())
        return false;
    const unsigned char* p = bytes.data();
    if (Take<uint32_t>(p) != kMagic || Take<uint32_t>(p) != kVersion) return false;
    const uint32_t count = Take<uint32_t>(p);
    if (bytes.size() != 12 + static_cast<size_t>(count) * kEntryBytes + 16) return false;
    CMD5Checksum md5;
    md5.Feed(bytes.data(), bytes.size() - 16);
    if (md5.Finish() != DigestText(bytes.data() + bytes.size() - 16)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        SFileId id;
        id.volume = Take<uint32_t>(p);
        id.index = Take<uint64_t>(p);
        SEntry e;
        e.size = Take<uint64_t>(p);
        e.lastWrite = Take<uint64_t>(p);
        e.madeAt = Take<uint64_t>(p);
        e.used = Take<uint64_t>(p);
        std::memcpy(e.digest, p, 16);
        p += 16;
        into[id] = e;
    }
    return true;
}

bool CDigestStore::Write(const std::wstring& path, const Entries& entries) {
    std::vector<unsigned char> bytes;
    bytes.reserve(12 + entries.size() * kEntryBytes + 16);
    Put(bytes, kMagic);
    Put(bytes, kVersion);
    Put(bytes, static_cast<uint32_t>(entries.size()));
    for (const auto& [id, e] : entries) {
        Put(bytes, id.volume);
        Put(bytes, id.index);
        Put(bytes, e.size);
        Put(bytes, e.lastWrite);
        Put(bytes, e.madeAt);
        Put(bytes, e.used);
        bytes.insert(bytes.end(), e.digest, e.digest + 16);
    }
    CMD5Checksum md5;
    md5.Feed(bytes.data(), bytes.size());
    const std::wstring sum = md5.Finish();
    for (size_t i = 0; i < 16; ++i) bytes.push_back(static_cast<unsigned char>(std::stoi(sum.substr(2 * i, 2), nullptr, 16)));
    // Whole into a file of its own, then in place of the old one in one step.
    const std::wstring temp = path + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    {
        win::UniqueHandle file(
            CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        DWORD written = 0;
        const bool ok = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                        written == bytes.size() && FlushFileBuffers(file.get());
        if (!ok) {
            file.reset();
            DeleteFileW(temp.c_str());
            return false;
        }
    }
    if (!MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}
