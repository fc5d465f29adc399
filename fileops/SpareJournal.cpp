#include "fileops/SpareJournal.h"

#include <windows.h>

#include <cstdio>
#include <mutex>
#include <utility>

#include "engine/FileDisposal.h"
#include "engine/FileIdentity.h"
#include "engine/LongPath.h"
#include "settings/SettingsFile.h"
#include "win/CodePage.h"
#include "win/Handles.h"

namespace {

std::mutex g_lock;
std::wstring g_testPath;

std::wstring JournalPath() { return g_testPath.empty() ? GetProgramDir() + L"config\\SpareNames.txt" : g_testPath; }

using Entries = std::vector<std::pair<std::wstring, std::wstring>>;   // spare, original

Entries Read() {
    Entries entries;
    win::UniqueFile in(_wfopen(JournalPath().c_str(), L"rb"));
    if (!in) return entries;
    std::string all;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, in.get())) > 0;) all.append(buffer, n);
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\n', start);
        if (end == std::string::npos) end = all.size();
        const std::wstring line = win::FromUtf8(all.substr(start, end - start));
        const size_t tab = line.find(L'\t');
        if (tab != std::wstring::npos) entries.emplace_back(line.substr(0, tab), line.substr(tab + 1));
        start = end + 1;
    }
    return entries;
}

// Rewritten whole: the journal holds a name or two at a time.
void Write(const Entries& entries) {
    const std::wstring path = JournalPath();
    if (entries.empty()) {
        DeleteFileW(path.c_str());
        return;
    }
    std::string all;
    for (const auto& [spare, original] : entries) all += win::ToUtf8(spare + L"\t" + original) + "\n";
    win::UniqueFile out(_wfopen(path.c_str(), L"wb"));
    if (!out) return;
    fwrite(all.data(), 1, all.size(), out.get());
    out.Close();
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(ToLongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

void CSpareJournal::Note(const std::wstring& original, const std::wstring& spare) {
    std::lock_guard<std::mutex> guard(g_lock);
    Entries entries = Read();
    entries.emplace_back(spare, original);
    Write(entries);
}

void CSpareJournal::Done(const std::wstring& spare) {
    std::lock_guard<std::mutex> guard(g_lock);
    Entries entries = Read();
    std::erase_if(entries, [&](const auto& entry) { return entry.first == spare; });
    Write(entries);
}

CSpareJournal::SRecovery CSpareJournal::Recover() {
    std::lock_guard<std::mutex> guard(g_lock);
    SRecovery recovery;
    Entries stay;
    for (const auto& [spare, original] : Read()) {
        if (!Exists(spare)) continue;
        const std::wstring exactSpare = ToLongPath(spare), exactOriginal = ToLongPath(original);
        if (!Exists(original)) {
            if (MoveFileW(exactSpare.c_str(), exactOriginal.c_str())) {
                ++recovery.restored;
                continue;
            }
        } else {
            const std::optional<SFileId> a = FileIdentityOf(spare), b = FileIdentityOf(original);
            if (a && b && *a == *b && DropSpareName(exactSpare)) continue;
        }
        recovery.left.push_back(spare);
        stay.emplace_back(spare, original);
    }
    Write(stay);
    return recovery;
}

void CSpareJournal::SetPathForTests(const std::wstring& path) {
    std::lock_guard<std::mutex> guard(g_lock);
    g_testPath = path;
}

bool DropSpareName(const std::wstring& spare) {
    if (DeleteFileW(spare.c_str())) return true;
    // A read-only name is refused: the attribute comes off for the moment and is
    // given back through the same handle.
    win::UniqueHandle file(CreateFileW(spare.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    FILE_BASIC_INFO basic = {};
    if (!file || !GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof basic)) return false;
    const DWORD attributes = basic.FileAttributes;
    // Zero times leave the file's times as they are.
    FILE_BASIC_INFO change = {};
    const DWORD writable = attributes & ~FILE_ATTRIBUTE_READONLY;
    change.FileAttributes = writable ? writable : FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandle(file.get(), FileBasicInfo, &change, sizeof change)) return false;
    const bool dropped = DeleteOnClose(file.get());
    change.FileAttributes = attributes;
    SetFileInformationByHandle(file.get(), FileBasicInfo, &change, sizeof change);
    return dropped;
}
