// Copies and moves that never leave a half-written file under a real name and never
// give up a source before its copy is whole: on one volume and across two (the
// Wine prefix's C: and the host's memory file system seen through Z:).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "engine/ContentCompare.h"
#include "engine/FileStatus.h"
#include "fileops/VerifiedCopy.h"
#include "tests/TempFolder.h"

namespace {

// A folder on another volume than the temp folder, removed afterwards.
class OtherVolume {
public:
    OtherVolume() {
        const std::wstring shm = L"Z:\\dev\\shm";
        if (GetFileAttributesW(shm.c_str()) == INVALID_FILE_ATTRIBUTES) return;
        path_ = shm + L"\\twinseek-move-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount64());
        if (!CreateDirectoryW(path_.c_str(), nullptr)) path_.clear();
    }
    ~OtherVolume() {
        if (!path_.empty()) TempFolder::RemoveTree(path_);
    }
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

// The names in a folder, to see that nothing partial is left.
std::vector<std::wstring> Names(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + (i * 7 + i / 4096) % 26);
    return bytes;
}

}  // namespace

TEST(VerifiedCopy, CompareFindsTheFirstDifferenceAndTellsUnreadableApart) {
    TempFolder dir;
    const std::string big = Pattern(3 * 1048576 + 17);
    std::string changed = big;
    changed[2 * 1048576 + 5] ^= 1;
    const std::wstring a = dir.Write(L"a", big), b = dir.Write(L"b", big), c = dir.Write(L"c", changed),
                       d = dir.Write(L"d", big.substr(1)), e = dir.Write(L"e", "");
    EXPECT_EQ(ESameBytes::Same, CompareFiles(a, b));
    EXPECT_EQ(ESameBytes::Different, CompareFiles(a, c));
    EXPECT_EQ(ESameBytes::Different, CompareFiles(a, d));
    EXPECT_EQ(ESameBytes::Same, CompareFiles(e, e));
    EXPECT_EQ(ESameBytes::Unreadable, CompareFiles(a, dir / L"missing"));
    // A stop between blocks ends the compare.
    int blocks = 0;
    EXPECT_ANY_THROW(CompareFiles(a, b, [&] {
        if (++blocks == 2) throw 1;
    }));
    EXPECT_EQ(2, blocks);
}

TEST(VerifiedCopy, AMoveAcrossVolumesCopiesVerifiesAndThenDeletesTheSource) {
    OtherVolume other;
    if (other.Path().empty()) GTEST_SKIP() << "no second volume";
    TempFolder dir;
    std::atomic<int32_t> closing{0};
    const std::string bytes = Pattern(2 * 1048576 + 3);
    const std::wstring source = dir.Write(L"photo.jpg", bytes);
    uint64_t size = 0;
    std::wstring time;
    ASSERT_TRUE(ReadFileStatus(source, size, time));
    const std::wstring target = other.Path() + L"\\photo.jpg";

    EXPECT_TRUE(MoveVerified(source, target, false, closing).done);
    EXPECT_FALSE(Exists(source));
    EXPECT_EQ(bytes, ReadFileBytes(target));
    uint64_t movedSize = 0;
    std::wstring movedTime;
    ASSERT_TRUE(ReadFileStatus(target, movedSize, movedTime));
    EXPECT_EQ(time, movedTime);
    EXPECT_EQ((std::vector<std::wstring>{L"photo.jpg"}), Names(other.Path()));

    // A name already there, without replacing: nothing moves.
    const std::wstring second = dir.Write(L"photo.jpg", "another");
    const SOutcome refused = MoveVerified(second, target, false, closing);
    EXPECT_FALSE(refused.done);
    EXPECT_EQ(ELeftReason::TargetExists, refused.reason);
    EXPECT_EQ("another", ReadFileBytes(second));
    EXPECT_EQ(bytes, ReadFileBytes(target));
}

TEST(VerifiedCopy, ASourceThatCannotGoOrATargetThatRefusesLeavesEverythingAsItWas) {
    OtherVolume other;
    if (other.Path().empty()) GTEST_SKIP() << "no second volume";
    TempFolder dir;
    std::atomic<int32_t> closing{0};

    // Read-only: the system would refuse to delete it after the copy.
    const std::wstring locked = dir.Write(L"ro.txt", "read only");
    SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    const SOutcome stayed = MoveVerified(locked, other.Path() + L"\\ro.txt", false, closing);
    SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(stayed.done);
    EXPECT_EQ(ELeftReason::SourceStayed, stayed.reason);
    EXPECT_EQ("read only", ReadFileBytes(locked));
    EXPECT_TRUE(Names(other.Path()).empty());

    // Replacing a target that another program holds open: the rename is refused; the
    // old target and the source are whole, and no partial copy is left.
    const std::wstring old = other.Path() + L"\\held.txt";
    {
        HANDLE h = CreateFileW(old.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written;
        WriteFile(h, "old target", 10, &written, nullptr);
        CloseHandle(h);
    }
    HANDLE holder = CreateFileW(old.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    const std::wstring source = dir.Write(L"held.txt", "new content");
    const SOutcome refused = MoveVerified(source, old, true, closing);
    CloseHandle(holder);
    EXPECT_FALSE(refused.done);
    EXPECT_EQ("new content", ReadFileBytes(source));
    EXPECT_EQ("old target", ReadFileBytes(old));
    EXPECT_EQ((std::vector<std::wstring>{L"held.txt"}), Names(other.Path()));
    // Free again: replaced now, and only now.
    EXPECT_TRUE(MoveVerified(source, old, true, closing).done);
    EXPECT_EQ("new content", ReadFileBytes(old));
    EXPECT_FALSE(Exists(source));
}

TEST(VerifiedCopy, ACloseAbandonsTheCopyAndAFullTargetKeepsTheSource) {
    TempFolder dir;
    const std::wstring target = dir.MakeDir(L"target");
    const std::wstring source = dir.Write(L"big.bin", Pattern(3 * 1048576));
    std::atomic<int32_t> closing{1};
    const SOutcome stopped = CopyVerified(source, target + L"\\big.bin", false, closing);
    EXPECT_FALSE(stopped.done);
    EXPECT_EQ(ELeftReason::Stopped, stopped.reason);
    EXPECT_TRUE(Names(target).empty());
    closing = 0;
    EXPECT_TRUE(CopyVerified(source, target + L"\\big.bin", false, closing).done);
    EXPECT_TRUE(Exists(source));
    EXPECT_EQ(ReadFileBytes(source), ReadFileBytes(target + L"\\big.bin"));

    // A volume too small for the file (mounted by the test script where it may).
    wchar_t small[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"TWINSEEK_SMALL_VOLUME", small, MAX_PATH)) GTEST_SKIP() << "no small volume";
    const std::wstring full = std::wstring(small) + L"\\big.bin";
    const SOutcome noRoom = MoveVerified(source, full, false, closing);
    EXPECT_FALSE(noRoom.done);
    EXPECT_EQ(ELeftReason::DiskFull, noRoom.reason);
    EXPECT_TRUE(Exists(source));
    EXPECT_TRUE(Names(small).empty());
}
