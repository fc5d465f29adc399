// The spare names of a recycling cut short: given back to their files at the next
// start, or reported.
#include <gtest/gtest.h>
#include <windows.h>

#include "engine/FileIdentity.h"
#include "fileops/RecycleFile.h"
#include "fileops/SpareJournal.h"
#include "tests/TempFolder.h"
#include "tests/WineTrash.h"

namespace {

// The journal in the test's own folder for the scope.
struct JournalHere {
    explicit JournalHere(const TempFolder& dir) : path(dir / L"SpareNames.txt") { CSpareJournal::SetPathForTests(path); }
    ~JournalHere() { CSpareJournal::SetPathForTests(L""); }
    std::wstring path;
};

}  // namespace

TEST(SpareJournal, ACutRecyclingIsUndoneAtTheNextStart) {
    TempFolder dir;
    JournalHere journal(dir);
    // Cut after the shell took the file away: only the spare name holds the data.
    const std::wstring lone = dir / L"lone.doc", loneSpare = dir.Write(L"lone.doc.1-2.twinseek-keep", "only copy");
    CSpareJournal::Note(lone, loneSpare);
    // Cut before the shell ran: the spare name is a second name of the file itself.
    const std::wstring both = dir.Write(L"both.doc", "still here"), bothSpare = dir / L"both.doc.1-3.twinseek-keep";
    ASSERT_TRUE(CreateHardLinkW(bothSpare.c_str(), both.c_str(), nullptr));
    SetFileAttributesW(both.c_str(), FILE_ATTRIBUTE_READONLY);
    CSpareJournal::Note(both, bothSpare);
    // Another file took the name meanwhile: nothing is touched, and it is reported.
    const std::wstring taken = dir.Write(L"taken.doc", "a new file"),
                       takenSpare = dir.Write(L"taken.doc.1-4.twinseek-keep", "old data");
    CSpareJournal::Note(taken, takenSpare);
    // Done with: forgotten.
    CSpareJournal::Note(dir / L"gone.doc", dir / L"gone.doc.1-5.twinseek-keep");

    const CSpareJournal::SRecovery recovery = CSpareJournal::Recover();
    EXPECT_EQ(1, recovery.restored);
    EXPECT_EQ((std::vector<std::wstring>{takenSpare}), recovery.left);
    EXPECT_EQ("only copy", ReadFileBytes(lone));
    EXPECT_FALSE(Exists(loneSpare));
    EXPECT_FALSE(Exists(bothSpare));
    EXPECT_EQ("still here", ReadFileBytes(both));
    // The read-only attribute belongs to the file and stays with it.
    EXPECT_TRUE(GetFileAttributesW(both.c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(both.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ("a new file", ReadFileBytes(taken));
    EXPECT_EQ("old data", ReadFileBytes(takenSpare));

    // Reported again at the next start until it is dealt with.
    EXPECT_EQ((std::vector<std::wstring>{takenSpare}), CSpareJournal::Recover().left);
    DeleteFileW(takenSpare.c_str());
    EXPECT_TRUE(CSpareJournal::Recover().left.empty());
    EXPECT_FALSE(Exists(journal.path));
}

TEST(SpareJournal, ARecyclingLeavesNothingWrittenDownAndKeepsTheReadOnlyAttribute) {
    const std::wstring trash = WineTrashFiles();
    TempFolder dir;
    JournalHere journal(dir);
    const std::wstring name = UniqueTrashName(L"readonly");
    const std::wstring path = dir.Write(name, "keep me read-only");
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    const SOutcome outcome = RecycleFile(path);
    EXPECT_TRUE(outcome.done) << static_cast<int>(outcome.reason);
    EXPECT_FALSE(Exists(path));
    EXPECT_FALSE(Exists(journal.path));
    const DWORD attributes = GetFileAttributesW((trash + name).c_str());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW((trash + name).c_str(), FILE_ATTRIBUTE_NORMAL);
    EmptyWineTrashOf(trash, name);
}
