// The delete, move, empty-folder, export and compare passes on results held in
// memory and files on disk: no window, so every outcome is read back directly.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "engine/FileInfoMap.h"
#include "fileops/ComparePass.h"
#include "fileops/DeletePass.h"
#include "fileops/EmptyFolderPass.h"
#include "fileops/ExportPass.h"
#include "fileops/LeftFiles.h"
#include "fileops/MovePass.h"
#include "fileops/SpareJournal.h"
#include "settings/ProtectedFolders.h"
#include "tests/MemoryResults.h"
#include "tests/FileRecords.h"
#include "tests/TempFolder.h"
#include "tests/WineTrash.h"

namespace {

// Results, groups and status line of one pass.
struct Bench {
    CMemoryResults results;
    CFileInfoMap groups;
    std::vector<std::wstring> texts;
    std::atomic<int32_t> closing{0};
    CLeftFiles left;
    int sameContent = 1;
    int direct = 1;
    const CProtectedFolders* guarded = nullptr;

    SPassContext Context() {
        return {results, groups, [this](const std::wstring& t) { texts.push_back(t); }, closing, &left, guarded};
    }
    // The reasons of the files the last pass left, in order.
    std::vector<ELeftReason> Reasons() const {
        std::vector<ELeftReason> reasons;
        for (const SLeftFile& file : left.Files()) reasons.push_back(file.reason);
        return reasons;
    }
    // Files of one name and content in folders a, b, c, ... of `dir`, found in order.
    std::vector<std::wstring> Group(const TempFolder& dir, const std::wstring& name, int count,
                                    const std::string& bytes = "same") {
        std::vector<std::wstring> paths;
        for (int i = 0; i < count; ++i) {
            paths.push_back(dir.Write(std::wstring(1, static_cast<wchar_t>(L'a' + i)) + L"\\" + name, bytes));
            results.AddFound(groups, OnDisk(paths.back(), groups.nCriteria & 4));
        }
        return paths;
    }
    std::vector<std::wstring> PathsUnder(HTREEITEM group) {
        std::vector<std::wstring> paths;
        for (HTREEITEM row : results.Children(group)) paths.push_back(results.Text(row, kPathColumn));
        return paths;
    }
    void Delete(int howToDel, const std::function<void()>& reFind = nullptr, int emptyDir = 0) {
        DeleteSettingStruct setting;
        setting.HowToDel = howToDel;
        setting.DelDirect = direct;
        setting.DelSameContent = sameContent;
        setting.DelReFind = reFind ? 1 : 0;
        setting.DelEmptyDir = emptyDir;
        CDeletePass(Context(), setting, reFind).DeleteFiles();
    }
    void Move(int moveType, const std::wstring& target, int copy = 0, int overwrite = 0) {
        MoveSettingStruct setting;
        setting.MoveType = moveType;
        setting.Copy = copy;
        setting.OverWrite = overwrite;
        setting.SavePath = target;
        CMovePass(Context(), setting).MoveFiles();
    }
};

}  // namespace

TEST(PassesDelete, KeepFirstDeletesTheOthersNamesEveryFileAndLeavesCountedGroupRows) {
    TempFolder dir;
    Bench b;
    auto dup = b.Group(dir, L"dup.txt", 3);
    auto two = b.Group(dir, L"two.txt", 2);
    b.Delete(kDeleteAllButFirst);

    EXPECT_TRUE(Exists(dup[0]));
    EXPECT_FALSE(Exists(dup[1]));
    EXPECT_FALSE(Exists(dup[2]));
    EXPECT_TRUE(Exists(two[0]));
    EXPECT_FALSE(Exists(two[1]));
    ASSERT_EQ(2u, b.results.Groups().size());
    for (HTREEITEM g : b.results.Groups()) {
        EXPECT_TRUE(b.results.Children(g).empty());
        EXPECT_EQ(L"1", b.results.Text(g, kCountColumn));
    }
    EXPECT_EQ(1, b.groups.GroupSizeOnDisk(L"dup.txt", dup[0]));
    const std::vector<std::wstring> expected = {L"正在删除:" + dup[0], L"正在删除:" + dup[1], L"正在删除:" + dup[2],
                                                L"正在删除:" + two[0], L"正在删除:" + two[1], L"删除完成"};
    EXPECT_EQ(expected, b.texts);
    // Painted at its end, redrawing on again.
    EXPECT_TRUE(b.results.redrawOn);
    EXPECT_GE(b.results.repaints, 1);
}

TEST(PassesDelete, CheckedTakesTheTickedFilesAndATickedGroupRowWithThem) {
    TempFolder dir;
    Bench b;
    auto one = b.Group(dir, L"one.txt", 3);
    auto all = b.Group(dir, L"all.txt", 2);
    auto none = b.Group(dir, L"none.txt", 2);
    HTREEITEM gOne = b.results.Groups()[0], gAll = b.results.Groups()[1], gNone = b.results.Groups()[2];
    b.results.Tick(b.results.Children(gOne)[1]);
    // Every file of a group ticked: the user chose every copy, and the group goes.
    b.results.Tick(gAll);
    for (HTREEITEM row : b.results.Children(gAll)) b.results.Tick(row);
    b.Delete(kDeleteTicked);

    EXPECT_TRUE(Exists(one[0]));
    EXPECT_FALSE(Exists(one[1]));
    EXPECT_TRUE(Exists(one[2]));
    EXPECT_FALSE(Exists(all[0]));
    EXPECT_FALSE(Exists(all[1]));
    EXPECT_TRUE(Exists(none[0]) && Exists(none[1]));
    EXPECT_EQ((std::vector<HTREEITEM>{gOne, gNone}), b.results.Groups());
    EXPECT_EQ((std::vector<std::wstring>{one[0], one[2]}), b.PathsUnder(gOne));
    EXPECT_EQ(L"2", b.results.Text(gOne, kCountColumn));
    EXPECT_EQ(L"删除完成", b.texts.back());
}

TEST(PassesDelete, AFileThatCannotGoOrHasNoKeptCopyStaysCountedWithItsRecord) {
    TempFolder dir;
    Bench b;
    auto dup = b.Group(dir, L"dup.txt", 4);
    SetFileAttributesW(dup[1].c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE lock = CreateFileW(dup[2].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    b.Delete(kDeleteAllButFirst);
    CloseHandle(lock);
    SetFileAttributesW(dup[1].c_str(), FILE_ATTRIBUTE_NORMAL);

    EXPECT_EQ(L"删除完成，2个文件未能删除", b.texts.back());
    EXPECT_TRUE(Exists(dup[1]) && Exists(dup[2]));
    EXPECT_FALSE(Exists(dup[3]));
    HTREEITEM g = b.results.Groups().at(0);
    EXPECT_EQ((std::vector<std::wstring>{dup[1], dup[2]}), b.PathsUnder(g));
    EXPECT_EQ(L"3", b.results.Text(g, kCountColumn));
    SFileInfo first;
    ASSERT_TRUE(b.groups.GetFirstFile(OnDisk(dup[0]), first));
    EXPECT_EQ(dup[0], first.strPath);

    // The first file vanished since the search: its copies have nothing kept to
    // stand for them and stay, ticked or not.
    TempFolder other;
    Bench c;
    auto lone = c.Group(other, L"lone.txt", 3);
    DeleteFileW(lone[0].c_str());
    c.Delete(kDeleteAllButFirst);
    EXPECT_TRUE(Exists(lone[1]) && Exists(lone[2]));
    EXPECT_EQ(L"删除完成，2个文件未能删除", c.texts.back());
    // Ticked, with the one unticked copy gone as well.
    HTREEITEM g2 = c.results.Groups().at(0);
    c.results.Tick(c.results.Children(g2)[1]);
    DeleteFileW(lone[1].c_str());
    c.Delete(kDeleteTicked);
    EXPECT_TRUE(Exists(lone[2]));
    EXPECT_EQ(L"删除完成，1个文件未能删除", c.texts.back());
    EXPECT_EQ(2u, c.results.Children(g2).size());
}

TEST(PassesTrueCopy, SameNamedFilesWithOtherBytesStayUnlessTheCheckIsOff) {
    // Two projects, each with its own README: names alone make them one group.
    for (int direct : {1, 0}) {
        TempFolder dir;
        Bench b;
        b.direct = direct;
        // Recycled files land in the trash under their own name: one no run used before.
        const std::wstring name = direct ? L"README.txt" : UniqueTrashName(L"README");
        const std::wstring first = dir.Write(L"one\\" + name, "project one");
        const std::wstring second = dir.Write(L"two\\" + name, "project two!");
        const std::wstring third = dir.Write(L"three\\" + name, "project one");
        for (const std::wstring& p : {first, second, third}) b.results.AddFound(b.groups, OnDisk(p));
        if (!direct) WineTrashFiles();
        b.Delete(kDeleteAllButFirst);
        EXPECT_EQ("project two!", ReadFileBytes(second));
        EXPECT_FALSE(Exists(third));   // the same bytes as the kept first file
        EXPECT_EQ(L"删除完成，1个文件未能删除", b.texts.back());
        EXPECT_EQ((std::vector<ELeftReason>{ELeftReason::ContentDiffers}), b.Reasons());
        EXPECT_EQ(second, b.left.Files().at(0).path);
        // Its row and record stay.
        EXPECT_EQ((std::vector<std::wstring>{second}), b.PathsUnder(b.results.Groups().at(0)));
        if (!direct) {
            const std::wstring trash = WineTrashFiles();
            EXPECT_EQ("project one", ReadFileBytes(trash + name));
            EmptyWineTrashOf(trash, name);
        }
    }

    // Unticked, the criteria decide as they always did.
    TempFolder dir;
    Bench b;
    b.sameContent = 0;
    const std::wstring first = dir.Write(L"one\\README.txt", "project one");
    const std::wstring second = dir.Write(L"two\\README.txt", "project two!");
    for (const std::wstring& p : {first, second}) b.results.AddFound(b.groups, OnDisk(p));
    b.Delete(kDeleteAllButFirst);
    EXPECT_TRUE(Exists(first));
    EXPECT_FALSE(Exists(second));
    EXPECT_EQ(L"删除完成", b.texts.back());
    EXPECT_TRUE(b.left.Files().empty());
}

TEST(PassesTrueCopy, TickedFilesAreComparedWithAnUntickedCopyOfTheSameBytes) {
    TempFolder dir;
    Bench b;
    const std::wstring a = dir.Write(L"a\\c.ini", "x=1"), bb = dir.Write(L"b\\c.ini", "x=2"),
                       c = dir.Write(L"c\\c.ini", "x=2");
    for (const std::wstring& p : {a, bb, c}) b.results.AddFound(b.groups, OnDisk(p));
    HTREEITEM g = b.results.Groups().at(0);
    // b is ticked: kept are a (other bytes) and c (the same): c stands for it.
    b.results.Tick(b.results.Children(g)[1]);
    b.Delete(kDeleteTicked);
    EXPECT_FALSE(Exists(bb));
    EXPECT_EQ(L"删除完成", b.texts.back());
    // a ticked now, with only c (other bytes) kept: a stays.
    b.results.Tick(b.results.Children(g)[0]);
    b.Delete(kDeleteTicked);
    EXPECT_EQ("x=1", ReadFileBytes(a));
    EXPECT_EQ((std::vector<ELeftReason>{ELeftReason::ContentDiffers}), b.Reasons());
}

TEST(PassesTrueCopy, AGroupTickedWholeGoesOnlyWhileEachFileIsAsFound) {
    TempFolder dir;
    Bench b;
    b.groups.SetCriteria(4);   // MD5
    auto all = b.Group(dir, L"same.bin", 3, "content");
    HTREEITEM g = b.results.Groups().at(0);
    b.results.Tick(g);
    for (HTREEITEM row : b.results.Children(g)) b.results.Tick(row);
    // Edited after the search: no longer what the user saw, so it stays.
    Sleep(20);
    dir.Write(L"b\\same.bin", "content, edited since");
    b.Delete(kDeleteTicked);
    EXPECT_FALSE(Exists(all[0]));
    EXPECT_EQ("content, edited since", ReadFileBytes(all[1]));
    EXPECT_FALSE(Exists(all[2]));
    EXPECT_EQ(L"删除完成，1个文件未能删除", b.texts.back());
    EXPECT_EQ((std::vector<ELeftReason>{ELeftReason::Changed}), b.Reasons());
    // The group row stays to show the file.
    EXPECT_EQ((std::vector<std::wstring>{all[1]}), b.PathsUnder(g));
}

TEST(PassesTrueCopy, ACopyInARecycleBinIsNeverTheOneKept) {
    // Found first (the bin sorts first in a drive's root), the bin's copy would be kept
    // while the live file went; the bin's next emptying would end the data.
    TempFolder dir;
    Bench b;
    b.groups.SetCriteria(4);
    const std::wstring binned = dir.Write(L"$RECYCLE.BIN\\S-1-5-21\\$RAB12CD.txt", "thesis");
    const std::wstring live = dir.Write(L"docs\\$RAB12CD.txt", "thesis");
    for (const std::wstring& p : {binned, live}) b.results.AddFound(b.groups, OnDisk(p, true));
    b.Delete(kDeleteAllButFirst);
    EXPECT_EQ("thesis", ReadFileBytes(live));
    EXPECT_EQ((std::vector<ELeftReason>{ELeftReason::KeptGone}), b.Reasons());
}

TEST(PassesTrueCopy, APermanentDeleteHoldsTheFileFromTheCheckToTheDelete) {
    TempFolder dir;
    Bench b;
    auto dup = b.Group(dir, L"dup.txt", 3);
    // Another program writing the second file: it cannot be held, so it stays.
    HANDLE writer = CreateFileW(dup[1].c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    b.Delete(kDeleteAllButFirst);
    CloseHandle(writer);
    EXPECT_TRUE(Exists(dup[1]));
    EXPECT_FALSE(Exists(dup[2]));
    EXPECT_EQ((std::vector<ELeftReason>{ELeftReason::InUse}), b.Reasons());
    EXPECT_EQ(L"文件正被其他程序使用", LeftReasonText(b.left.Files().at(0)));
}

TEST(PassesDelete, OneFileUnderTwoSpellingsIsNeverItsOwnCopy) {
    TempFolder dir;
    Bench b;
    const std::wstring photo = dir.Write(L"photos\\p.jpg", "only one");
    b.results.AddFound(b.groups, OnDisk(photo));
    b.results.AddFound(b.groups, OnDisk(dir / L"PHOTOS\\p.jpg"));
    ASSERT_EQ(1u, b.results.Groups().size());
    b.Delete(kDeleteAllButFirst);
    EXPECT_TRUE(Exists(photo));
    EXPECT_EQ(L"删除完成，1个文件未能删除", b.texts.back());
    EXPECT_EQ(1u, b.results.Children(b.results.Groups()[0]).size());
}

TEST(PassesDelete, ClosingEndsThePassBeforeItsFirstRowWithoutAnEndText) {
    TempFolder dir;
    Bench b;
    auto dup = b.Group(dir, L"dup.txt", 2);
    b.groups.Folders.AddFolder(dir / L"a", false);
    b.closing = 1;
    b.Delete(kDeleteAllButFirst);
    EXPECT_TRUE(Exists(dup[0]) && Exists(dup[1]));
    EXPECT_TRUE(b.texts.empty());
    EXPECT_EQ(2u, b.results.Children(b.results.Groups()[0]).size());
    // Nothing asked for afterwards runs: the window is waiting to close.
    bool reFound = false;
    b.Delete(kDeleteAllButFirst, [&] { reFound = true; }, 1);
    EXPECT_FALSE(reFound);
    EXPECT_EQ((std::vector<std::wstring>{dir / L"a"}), b.groups.Folders.FolderPaths());
}

TEST(PassesDelete, TheReSearchComesBetweenThePassAndTheEmptyFolderPass) {
    TempFolder dir;
    Bench b;
    auto dup = b.Group(dir, L"dup.txt", 2);   // in folders a and b
    b.groups.Folders.AddFolder(dir / L"a", false);
    b.groups.Folders.AddFolder(dir / L"b", false);
    bool bStillThere = false;
    b.Delete(kDeleteAllButFirst, [&] { bStillThere = Exists(dir / L"b"); }, 1);
    EXPECT_TRUE(bStillThere);
    EXPECT_FALSE(Exists(dir / L"b"));
    EXPECT_TRUE(Exists(dir / L"a"));
    EXPECT_EQ((std::vector<std::wstring>{dir / L"a"}), b.groups.Folders.FolderPaths());
}

TEST(PassesEmptyFolders, OnlyEmptyPlainFoldersGoAndVanishedOnesLeaveTheList) {
    TempFolder dir;
    CFileInfoMap groups;
    dir.Write(L"full\\f.txt", "x");
    dir.MakeDir(L"empty");
    dir.MakeDir(L"target");
    ASSERT_TRUE(TempFolder::MakeFolderLink(dir.Path(), L"link", L"target"));
    for (const wchar_t* f : {L"full", L"empty", L"link", L"gone"}) groups.Folders.AddFolder(dir / f, false);
    std::atomic<int32_t> closing{0};
    CEmptyFolderPass(groups.Folders, closing).RemoveEmptyFolders();
    EXPECT_TRUE(Exists(dir / L"full"));
    EXPECT_FALSE(Exists(dir / L"empty"));
    EXPECT_TRUE(Exists(dir / L"link"));
    EXPECT_EQ((std::vector<std::wstring>{dir / L"full", dir / L"link"}), groups.Folders.FolderPaths());
}

TEST(PassesMove, AFileChangedSinceTheSearchIsNotMovedWhenEveryFileGoes) {
    TempFolder dir;
    const std::wstring target = dir.MakeDir(L"target");
    Bench b;
    auto files = b.Group(dir, L"m.txt", 2);
    dir.Write(L"b\\m.txt", "grown since the search");
    b.Move(kMoveAll, target);
    EXPECT_EQ("same", ReadFileBytes(target + L"\\m.txt"));
    EXPECT_EQ("grown since the search", ReadFileBytes(files[1]));
    EXPECT_EQ(L"移动完成，1个文件未能移动", b.texts.back());
    EXPECT_EQ((std::vector<ELeftReason>{ELeftReason::Changed}), b.Reasons());
}

TEST(PassesMove, AllWithoutOverwriteLeavesTheSecondFileOfANameWhereItIsAndShown) {
    TempFolder dir;
    Bench b;
    auto dup = b.Group(dir, L"dup.txt", 2);
    const std::wstring target = dir.MakeDir(L"target");
    b.Move(kMoveAll, target);
    EXPECT_FALSE(Exists(dup[0]));
    EXPECT_TRUE(Exists(dup[1]));
    EXPECT_TRUE(Exists(target + L"\\dup.txt"));
    EXPECT_EQ(L"移动完成，1个文件未能移动", b.texts.back());
    HTREEITEM g = b.results.Groups().at(0);
    EXPECT_EQ((std::vector<std::wstring>{dup[1]}), b.PathsUnder(g));
    EXPECT_EQ(L"正在移动:" + dup[0], b.texts.front());
}

TEST(PassesMove, FilesArriveUnderTheirRealNamesWhenExtensionsAreIgnored) {
    // The name column holds "a" for a.jpg and a.png alike.
    TempFolder dir;
    const std::wstring target = dir.MakeDir(L"target");
    Bench b;
    for (const wchar_t* file : {L"x\\a.jpg", L"y\\a.png"}) {
        SFileInfo record = OnDisk(dir.Write(file, "pixels"));
        record.strName = L"a";
        b.results.AddFound(b.groups, record);
    }
    ASSERT_EQ(1u, b.results.Groups().size());
    b.Move(kMoveAll, target, 1);
    EXPECT_EQ("pixels", ReadFileBytes(target + L"\\a.jpg"));
    EXPECT_EQ("pixels", ReadFileBytes(target + L"\\a.png"));
    EXPECT_FALSE(Exists(target + L"\\a"));
    b.Move(kMoveAll, dir.MakeDir(L"moved"));
    EXPECT_TRUE(Exists(dir / L"moved\\a.jpg") && Exists(dir / L"moved\\a.png"));
    EXPECT_EQ(L"移动完成", b.texts.back());
}

TEST(PassesMove, KeepFirstMovesTheOthersAndCopyModesLeaveFilesAndRowsAlone) {
    TempFolder dir;
    Bench b;
    auto dup = b.Group(dir, L"dup.txt", 3);
    const std::wstring target = dir.MakeDir(L"target");
    b.Move(kMoveAllButFirst, target, 1);
    // Copying keep-first copies every file, the first included; the others of the
    // name cannot land beside the first. Rows stay as they were.
    EXPECT_EQ(L"移动完成，2个文件未能复制", b.texts.back());
    EXPECT_TRUE(Exists(dup[0]) && Exists(dup[1]) && Exists(dup[2]));
    EXPECT_TRUE(Exists(target + L"\\dup.txt"));
    HTREEITEM g = b.results.Groups().at(0);
    EXPECT_EQ(3u, b.results.Children(g).size());

    TempFolder other;
    Bench c;
    auto three = c.Group(other, L"t.txt", 3, "three");
    const std::wstring to = other.MakeDir(L"to");
    c.Move(kMoveAllButFirst, to);
    EXPECT_TRUE(Exists(three[0]));
    EXPECT_FALSE(Exists(three[1]));
    EXPECT_TRUE(Exists(three[2]));   // its name was taken by the second one
    EXPECT_EQ("three", ReadFileBytes(to + L"\\t.txt"));
    EXPECT_EQ(L"移动完成，1个文件未能移动", c.texts.back());
    HTREEITEM g2 = c.results.Groups().at(0);
    EXPECT_EQ((std::vector<std::wstring>{three[2]}), c.PathsUnder(g2));
    EXPECT_EQ(L"2", c.results.Text(g2, kCountColumn));
}

TEST(PassesMove, OverwriteNeverReplacesAFileOfTheResultsNorOneThePassPutThere) {
    TempFolder dir;
    Bench b;
    auto dup = b.Group(dir, L"dup.txt", 3);
    // The target already holds a file of the results under that name: the first one.
    b.Move(kMoveAllButFirst, dir / L"a", 0, 1);
    EXPECT_EQ("same", ReadFileBytes(dup[0]));
    EXPECT_TRUE(Exists(dup[1]) && Exists(dup[2]));
    EXPECT_EQ(L"移动完成，2个文件未能移动", b.texts.back());

    TempFolder other;
    Bench c;
    auto two = c.Group(other, L"d.txt", 2, "new");
    const std::wstring target = other.Write(L"to\\d.txt", "old outsider");
    c.Move(kMoveAll, other / L"to", 0, 1);
    // The outsider is replaced by the first; the second may not replace the first.
    EXPECT_EQ("new", ReadFileBytes(target));
    EXPECT_FALSE(Exists(two[0]));
    EXPECT_TRUE(Exists(two[1]));
    EXPECT_EQ(L"移动完成，1个文件未能移动", c.texts.back());
}

TEST(PassesExport, EveryFileRowIsOneLineAndAFileThatCannotBeWrittenFails) {
    TempFolder dir;
    Bench b;
    auto dup = b.Group(dir, L"dup.txt", 2);
    auto two = b.Group(dir, L"二.txt", 2);
    std::vector<std::wstring> texts;
    CExportPass pass(b.results, [&](const std::wstring& t) { texts.push_back(t); });
    const std::wstring out = dir / L"list.txt";
    ASSERT_TRUE(pass.Write(out));
    std::string expected;
    for (const auto& p : {dup[0], dup[1], two[0], two[1]}) {
        const std::wstring name = p.substr(p.rfind(L'\\') + 1);
        char line[1024];
        int n = WideCharToMultiByte(CP_ACP, 0, (name + L"\t" + p).c_str(), -1, line, sizeof line, nullptr, nullptr);
        expected += std::string(line, n - 1) + "\r\n";
    }
    EXPECT_EQ(expected, ReadFileBytes(out));
    EXPECT_EQ(L"正在保存:" + dup[0], texts.front());
    EXPECT_EQ(L"保存完成", texts.back());

    HANDLE held = CreateFileW(out.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(pass.Write(out));
    CloseHandle(held);
    EXPECT_EQ(L"保存失败:" + out, texts.back());

    EXPECT_EQ(L"a.txt", CExportPass::WithTextExtension(L"a"));
    EXPECT_EQ(L"a.csv", CExportPass::WithTextExtension(L"a.csv"));
    EXPECT_EQ(L"d.x\\a.txt", CExportPass::WithTextExtension(L"d.x\\a"));
    EXPECT_EQ(L"a..txt", CExportPass::WithTextExtension(L"a."));
}

TEST(PassesCompare, TheExaminedRowsFollowTheSelection) {
    TempFolder dir;
    Bench b;
    auto x = b.Group(dir, L"x.txt", 3);
    auto y = b.Group(dir, L"y.txt", 2);
    HTREEITEM gx = b.results.Groups()[0], gy = b.results.Groups()[1];
    auto rows = b.results.Children(gx);
    b.results.Tick(rows[0]);
    b.results.Tick(rows[2]);
    b.results.Tick(gy);
    CComparePass pass(b.results);

    // Nothing selected: the group rows, each standing for its first file.
    EXPECT_EQ((std::vector<std::wstring>{y[0]}), pass.TickedPaths());
    b.results.selected = gx;   // a group: its files
    EXPECT_EQ((std::vector<std::wstring>{x[0], x[2]}), pass.TickedPaths());
    b.results.selected = rows[1];   // a file: its siblings
    EXPECT_EQ((std::vector<std::wstring>{x[0], x[2]}), pass.TickedPaths());
    b.results.selected = b.results.Children(gy)[0];
    EXPECT_TRUE(pass.TickedPaths().empty());

    EXPECT_EQ(L" C:\\p\\WinMergeU.exe \"C:\\a b\\1.txt\" \"C:\\2.txt\"",
              CComparePass::CommandLine(L"C:\\p\\WinMergeU.exe", {L"C:\\a b\\1.txt", L"C:\\2.txt"}));
}

TEST(PassesProtected, AProtectedFileIsKeptInPlaceOfTheFirstAndNeverGivenUp) {
    TempFolder dir;
    Bench b;
    CProtectedFolders guarded;
    guarded.Add(dir.Path() + L"\\b");
    b.guarded = &guarded;
    // Keep-first: the protected file (second in its group) stays, the first goes.
    auto dup = b.Group(dir, L"dup.txt", 3);
    b.Delete(kDeleteAllButFirst);
    EXPECT_FALSE(Exists(dup[0]));
    EXPECT_TRUE(Exists(dup[1]));
    EXPECT_FALSE(Exists(dup[2]));
    EXPECT_TRUE(b.results.Children(b.results.Groups()[0]).empty());
}

TEST(PassesProtected, TicksAndMoveAllPassAProtectedFileBy) {
    TempFolder dir;
    Bench b;
    CProtectedFolders guarded;
    guarded.Add(dir.Path() + L"\\a");
    b.guarded = &guarded;
    auto whole = b.Group(dir, L"whole.txt", 2);
    // A group ticked whole, protected file and all: the protected file stays, and so
    // does the group row that shows it.
    HTREEITEM group = b.results.Groups()[0];
    b.results.Tick(group);
    for (HTREEITEM row : b.results.Children(group)) b.results.Tick(row);
    b.Delete(kDeleteTicked);
    EXPECT_TRUE(Exists(whole[0]));
    EXPECT_FALSE(Exists(whole[1]));
    ASSERT_EQ(1u, b.results.Groups().size());
    EXPECT_EQ((std::vector<std::wstring>{whole[0]}), b.PathsUnder(group));

    TempFolder target;
    auto moved = b.Group(dir, L"moved.txt", 3);
    b.Move(kMoveAll, target.Path());
    EXPECT_TRUE(Exists(moved[0]));
    EXPECT_FALSE(Exists(moved[1]));
    EXPECT_EQ(2u, b.results.Groups().size());
}
