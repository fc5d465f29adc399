#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "engine/FindFlags.h"
#include "engine/FileDigest.h"
#include "engine/FileStatus.h"
#include "engine/FolderScan.h"
#include "tests/TempFolder.h"
#include "win/Format.h"

namespace {

struct Recorder : IScanReport {
    std::vector<std::wstring> status;
    std::vector<std::pair<int, int>> counters;
    std::vector<std::pair<std::wstring, std::wstring>> reachedTwo;   // first, second paths
    std::vector<std::pair<std::wstring, std::wstring>> grew;         // first, new paths
    std::vector<SFileInfo> rowRecords;
    std::vector<bool> expanded;
    int redraws = 0;
    std::function<void(const std::wstring&)> onStatus;

    void Status(const std::wstring& text) override {
        status.push_back(text);
        if (onStatus) onStatus(text);
    }
    void Counters(int folders, int files) override { counters.emplace_back(folders, files); }
    void GroupReachedTwo(const SFileInfo& first, const SFileInfo& second, bool expand, unsigned) override {
        reachedTwo.emplace_back(first.strPath, second.strPath);
        rowRecords.push_back(first);
        rowRecords.push_back(second);
        expanded.push_back(expand);
    }
    void GroupGrew(const SFileInfo& first, const SFileInfo& record, unsigned) override {
        grew.emplace_back(first.strPath, record.strPath);
        rowRecords.push_back(record);
    }
    void RedrawResults() override { ++redraws; }
    std::vector<std::wstring> folderEnds;
    int idles = 0;
    void FolderDone(const std::wstring& text) override {
        folderEnds.push_back(text);
        Status(text);
    }
    void Idle() override { ++idles; }

    std::vector<std::wstring> FilesShown() const {
        std::vector<std::wstring> files;
        for (const std::wstring& s : status)
            if (s.rfind(L"文件:", 0) == 0) files.push_back(s.substr(3));
        return files;
    }
};

// A scan over one settings record and map, as the worker runs it.
struct ScanBed {
    FindSettingStruct settings;
    CFileInfoMap map;
    std::atomic<uint32_t> flags{FIND_RUNNING};
    std::atomic<int32_t> fileCount{0};
    Recorder report;
    CFolderScan scan{settings, map, flags, fileCount, &report};

    ScanBed() {
        settings.FileExtType = 2;
        settings.FastSearch = 1;
    }
    void Prepare() { scan.PrepareSearch(); }
    // Steps until nothing is pending.
    void RunAll() {
        while (map.Folders.FolderCount() > 0) {
            bool pending = false;
            for (const SFolderItem& item : map.Folders.Items()) pending |= item.bPending != 0;
            if (!pending) break;
            scan.SearchNextFolder();
        }
    }
};

}  // namespace

TEST(Scan, FoldersAreSearchedBreadthFirst) {
    TempFolder dir;
    dir.MakeDir(L"a");
    dir.MakeDir(L"b");
    dir.Write(L"a\\deep\\f.txt", "x");
    ScanBed bed;
    bed.Prepare();
    bed.map.Folders.AddFolder(dir.Path(), true);

    bed.scan.SearchNextFolder();
    EXPECT_EQ(bed.map.Folders.FolderPaths(),
              (std::vector<std::wstring>{dir.Path(), dir / L"a", dir / L"b"}));
    bed.scan.SearchNextFolder();
    bed.scan.SearchNextFolder();
    bed.scan.SearchNextFolder();
    EXPECT_EQ(bed.map.Folders.FolderPaths().back(), dir / L"a\\deep");

    std::vector<std::wstring> taken;
    for (const std::wstring& s : bed.report.status)
        if (s.rfind(L"文件夹:", 0) == 0) taken.push_back(s.substr(4));
    EXPECT_EQ(taken, (std::vector<std::wstring>{dir.Path(), dir / L"a", dir / L"b", dir / L"a\\deep"}));
    EXPECT_EQ(bed.report.FilesShown(), (std::vector<std::wstring>{dir / L"a\\deep\\f.txt"}));

    // Nothing pending: a step shows nothing.
    size_t shown = bed.report.status.size();
    bed.scan.SearchNextFolder();
    EXPECT_EQ(bed.report.status.size(), shown);
}

TEST(Scan, SubfolderOptionOffListsNoSubfolders) {
    TempFolder dir;
    dir.Write(L"a\\f.txt", "x");
    dir.Write(L"top.txt", "x");
    ScanBed bed;
    bed.Prepare();
    bed.map.Folders.AddFolder(dir.Path(), false);
    bed.RunAll();
    EXPECT_EQ(bed.map.Folders.FolderCount(), 1);
    EXPECT_EQ(bed.report.FilesShown(), (std::vector<std::wstring>{dir / L"top.txt"}));
}

TEST(Scan, ExtensionFilterModes) {
    TempFolder dir;
    for (const wchar_t* name : {L"x.jpg", L"y.JPG", L"x.png", L"x.tmp", L"noext"}) dir.Write(name, "1");
    auto examined = [&](int type, std::vector<std::wstring> list) {
        ScanBed bed;
        bed.settings.FileExtType = type;
        for (const std::wstring& e : list) bed.settings.ExtList.Add(e);
        bed.Prepare();
        bed.map.Folders.AddFolder(dir.Path(), false);
        bed.RunAll();
        std::vector<std::wstring> names;
        for (const std::wstring& f : bed.report.FilesShown()) names.push_back(f.substr(dir.Path().size() + 1));
        std::sort(names.begin(), names.end());
        EXPECT_EQ(bed.fileCount.load(), static_cast<int>(names.size()));
        return names;
    };
    using V = std::vector<std::wstring>;
    EXPECT_EQ(examined(0, {L"jpg"}), (V{L"x.jpg"}));
    EXPECT_EQ(examined(0, {}), (V{L"noext", L"x.jpg", L"x.png", L"x.tmp", L"y.JPG"}));
    EXPECT_EQ(examined(1, {L"tmp"}), (V{L"noext", L"x.jpg", L"x.png", L"y.JPG"}));
    EXPECT_EQ(examined(1, {}), (V{L"noext", L"x.jpg", L"x.png", L"x.tmp", L"y.JPG"}));
    EXPECT_EQ(examined(2, {L"jpg"}), (V{L"noext", L"x.jpg", L"x.png", L"x.tmp", L"y.JPG"}));
}

TEST(Scan, IgnoredExtensionsGroupByBareName) {
    TempFolder dir;
    dir.Write(L"a.txt", "12345");
    dir.Write(L"a.doc", "abcde");
    dir.Write(L"b.txt", "12345");
    ScanBed bed;
    bed.settings.FindSizeFile = 1;
    bed.Prepare();
    bed.map.Folders.AddFolder(dir.Path(), false);
    bed.RunAll();
    ASSERT_EQ(bed.report.reachedTwo.size(), 1u);
    ASSERT_EQ(bed.report.rowRecords.size(), 2u);
    EXPECT_EQ(bed.report.rowRecords[0].strName, L"a");
    EXPECT_EQ(bed.report.rowRecords[1].strName, L"a");
    EXPECT_EQ(bed.report.rowRecords[1].nSize, 5u);
    // The path keeps the full listed name.
    EXPECT_NE(bed.report.rowRecords[0].strPath.find(L"a."), std::wstring::npos);
}

TEST(Scan, RecordCarriesLocalTimeTextAndSize) {
    TempFolder dir;
    std::wstring path = dir.Write(L"dated.bin", std::string(1536, 'x'));
    TempFolder::SetLocalTime(path, 2012, 10, 14, 9, 5, 3);
    std::wstring copy = dir.Write(L"copy\\dated.bin", "y");
    ScanBed bed;
    bed.Prepare();
    bed.map.Folders.AddFolder(dir.Path(), true);
    bed.RunAll();
    ASSERT_EQ(bed.report.rowRecords.size(), 2u);
    const SFileInfo& first = bed.report.rowRecords[0];
    EXPECT_EQ(first.strPath, path);
    EXPECT_EQ(first.strName, L"dated");
    EXPECT_EQ(first.strTime, L"2012-10-14 09:05:03");
    EXPECT_EQ(first.nSize, 1536u);
    EXPECT_TRUE(first.strMD5.empty());
    EXPECT_EQ(bed.report.rowRecords[1].strPath, copy);
}

TEST(Scan, TimeTextsKeepTheirPrintfForm) {
    // Single-digit fields, a day's last second, the first and a five-digit year.
    const SYSTEMTIME moments[] = {{2012, 10, 0, 14, 9, 5, 3, 0},  {1999, 12, 0, 31, 23, 59, 59, 0},
                                  {2024, 1, 0, 1, 0, 0, 0, 0},    {1601, 1, 0, 2, 0, 0, 0, 0},
                                  {30000, 6, 0, 15, 12, 30, 45, 0}};
    for (const SYSTEMTIME& moment : moments) {
        FILETIME utc;
        ASSERT_TRUE(SystemTimeToFileTime(&moment, &utc));
        FILETIME local;
        SYSTEMTIME st;
        ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local) && FileTimeToSystemTime(&local, &st));
        EXPECT_EQ(win::Format(L"%02d-%02d-%02d %02d:%02d:%02d", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
                              st.wSecond),
                  FormatFileTime(utc));
    }
}

TEST(Scan, DigestSizeLimitAroundTenMiB) {
    TempFolder dir;
    const size_t limit = 10 * 1048576;
    std::wstring atLimit = dir.Write(L"at.bin", std::string(limit, 'a'));
    std::wstring over = dir.Write(L"over.bin", std::string(limit + 1, 'a'));
    dir.Write(L"small.bin", "a");

    ScanBed bed;
    bed.settings.FastSearch = 0;   // every file digested as it is found
    bed.settings.FindMD5File = 1;
    bed.settings.Md5MaxSize = 10;
    bed.Prepare();
    bed.map.Folders.AddFolder(dir.Path(), false);
    bed.RunAll();
    auto& st = bed.report.status;
    EXPECT_NE(std::find(st.begin(), st.end(), L"正在计算文件MD5:" + atLimit), st.end());
    EXPECT_NE(std::find(st.begin(), st.end(), L"文件过大:" + over), st.end());
    EXPECT_EQ(std::find(st.begin(), st.end(), L"正在计算文件MD5:" + over), st.end());
    EXPECT_EQ(bed.fileCount.load(), 2);   // the large one is not counted

    // Limit 0: everything is digested, and the two big files (same content but one
    // byte) stay apart while equal ones would meet.
    ScanBed unlimited;
    unlimited.settings.FastSearch = 0;
    unlimited.settings.FindMD5File = 1;
    unlimited.settings.Md5MaxSize = 0;
    unlimited.Prepare();
    unlimited.map.Folders.AddFolder(dir.Path(), false);
    unlimited.RunAll();
    EXPECT_EQ(unlimited.fileCount.load(), 3);
    auto& st2 = unlimited.report.status;
    EXPECT_NE(std::find(st2.begin(), st2.end(), L"正在计算文件MD5:" + over), st2.end());
}

TEST(Scan, ThreeFilesOfOneGroupReachTwoThenGrow) {
    TempFolder dir;
    for (const wchar_t* sub : {L"1", L"2", L"3"}) dir.Write(std::wstring(sub) + L"\\dup.txt", "same");
    ScanBed bed;
    bed.settings.FindMD5File = 1;
    bed.settings.ExpandItem = 1;
    bed.Prepare();
    bed.map.Folders.AddFolder(dir.Path(), true);
    bed.RunAll();
    ASSERT_EQ(bed.report.reachedTwo.size(), 1u);
    EXPECT_EQ(bed.report.reachedTwo[0],
              std::make_pair(dir / L"1\\dup.txt", dir / L"2\\dup.txt"));
    EXPECT_TRUE(bed.report.expanded[0]);
    ASSERT_EQ(bed.report.grew.size(), 1u);
    EXPECT_EQ(bed.report.grew[0], std::make_pair(dir / L"1\\dup.txt", dir / L"3\\dup.txt"));
    EXPECT_EQ(bed.report.rowRecords[0].strMD5, L"51037a4a37730f52c8732586d3aaa316");
    // Counters after each file: folder list size and the run's file count.
    EXPECT_EQ(bed.report.counters,
              (std::vector<std::pair<int, int>>{{4, 1}, {4, 2}, {4, 3}}));
}

TEST(Scan, SearchingAFolderAgainAddsNoRows) {
    TempFolder dir;
    dir.Write(L"a.txt", "1");
    dir.Write(L"s\\a.txt", "1");
    ScanBed bed;
    bed.Prepare();
    bed.map.Folders.AddFolder(dir.Path(), true);
    bed.RunAll();
    ASSERT_EQ(bed.report.reachedTwo.size(), 1u);
    bed.map.Folders.RequeueFolder(dir.Path(), true);
    bed.RunAll();
    EXPECT_EQ(bed.report.reachedTwo.size(), 1u);
    EXPECT_TRUE(bed.report.grew.empty());
    EXPECT_EQ(bed.map.GetGroupSize(bed.report.rowRecords[0]), 2);
}

TEST(Scan, LockedFileIsPassedOverAndTheFolderGoesOn) {
    TempFolder dir;
    std::wstring locked = dir.Write(L"1\\a-locked.bin", "same");
    dir.Write(L"1\\b.bin", "same");
    dir.Write(L"1\\c.bin", "same");
    dir.Write(L"2\\d.bin", "same");
    HANDLE writer = CreateFileW(locked.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);

    ScanBed bed;
    bed.settings.FastSearch = 0;   // every file digested as it is found
    bed.settings.FindMD5File = 1;
    bed.Prepare();
    bed.map.Folders.AddFolder(dir / L"1", false);
    bed.map.Folders.AddFolder(dir / L"2", false);
    bed.RunAll();
    CloseHandle(writer);

    EXPECT_EQ(bed.fileCount.load(), 3);
    ASSERT_EQ(bed.report.reachedTwo.size(), 1u);
    ASSERT_EQ(bed.report.grew.size(), 1u);
    for (const SFileInfo& r : bed.report.rowRecords) EXPECT_NE(r.strPath, locked);
    auto& st = bed.report.status;
    EXPECT_NE(std::find(st.begin(), st.end(), L"文件夹搜索完成:" + (dir / L"1")), st.end());
    EXPECT_EQ(bed.report.redraws, 0);
}

TEST(Scan, StopRequestEndsTheStepAtTheNextEntry) {
    TempFolder dir;
    for (int i = 0; i < 5; ++i) dir.Write(L"f" + std::to_wstring(i) + L".txt", "x");
    ScanBed bed;
    bed.Prepare();
    bed.map.Folders.AddFolder(dir.Path(), false);
    bed.report.onStatus = [&](const std::wstring& text) {
        if (text.rfind(L"文件:", 0) == 0) bed.flags = FIND_STOP;
    };
    EXPECT_THROW(bed.scan.SearchNextFolder(), StopSignal);
    EXPECT_EQ(bed.report.FilesShown().size(), 1u);
    EXPECT_EQ(bed.report.redraws, 1);
    EXPECT_EQ(bed.fileCount.load(), 1);   // the first check after "文件:" follows the count
    EXPECT_EQ(bed.report.status.back().rfind(L"文件:", 0), 0u);   // no "completed" text

    // The folder counts as searched: starting again does not resume it.
    bed.flags = FIND_RUNNING;
    bed.report.onStatus = nullptr;
    bed.report.status.clear();
    bed.scan.SearchNextFolder();
    EXPECT_TRUE(bed.report.status.empty());
}

TEST(Scan, StatusTextsOfOneFolder) {
    TempFolder dir;
    std::wstring file = dir.Write(L"only.txt", "x");
    ScanBed bed;
    bed.settings.FastSearch = 0;   // every file digested as it is found
    bed.settings.FindMD5File = 1;
    bed.Prepare();
    bed.map.Folders.AddFolder(dir.Path(), false);
    bed.map.Folders.AddFolder(dir / L"missing", false);
    bed.RunAll();
    EXPECT_EQ(bed.report.status,
              (std::vector<std::wstring>{L"文件夹:" + dir.Path(), L"文件:" + file, L"正在计算文件MD5:" + file,
                                         L"文件夹搜索完成:" + dir.Path(), L"文件夹:" + (dir / L"missing"),
                                         L"文件夹搜索完成:" + (dir / L"missing")}));
    EXPECT_EQ(bed.report.counters, (std::vector<std::pair<int, int>>{{2, 1}}));
    EXPECT_EQ(CFolderScan::CounterText(2, 1), L"文件夹:2|文件:1");
}

TEST(Scan, PrepareSearchResetsTheCountAndHandsOverCriteria) {
    ScanBed bed;
    bed.fileCount = 7;
    bed.settings.FindSimularFile = 1;
    bed.settings.FindSizeFile = 1;
    bed.settings.FindMD5File = 1;
    bed.Prepare();
    EXPECT_EQ(bed.fileCount.load(), 0);
    EXPECT_EQ(bed.map.nCriteria, 6);
    EXPECT_EQ(bed.map.bSimilarName, 1);
}

TEST(Scan, PausesApplyUnlessFastSearch) {
    TempFolder dir;
    for (int i = 0; i < 8; ++i) dir.Write(L"f" + std::to_wstring(i), "x");
    auto run = [&](int fast, unsigned& pauses) {
        ScanBed bed;
        bed.settings.FastSearch = fast;
        bed.scan.SetPauses(50, 50);
        bed.Prepare();
        bed.map.Folders.AddFolder(dir.Path(), false);
        ULONGLONG start = GetTickCount64();
        bed.RunAll();
        pauses = bed.scan.PausesTaken();
        EXPECT_EQ(8, bed.fileCount.load());
        return GetTickCount64() - start;
    };
    unsigned pauses = 0;
    // 10 entries with . and .., plus the folder: each pause is slept.
    EXPECT_GE(run(0, pauses), 11u * 50u * 9 / 10);
    EXPECT_EQ(11u, pauses);
    // The same walk at the fast pace finds the same files without a pause.
    run(1, pauses);
    EXPECT_EQ(0u, pauses);
}

TEST(Scan, FastStepsReportFolderEndsAndIdleOnceNothingIsPending) {
    TempFolder dir;
    dir.Write(L"a\\f.txt", "x");
    for (int fast = 0; fast < 2; ++fast) {
        ScanBed bed;
        bed.settings.FastSearch = fast;
        bed.Prepare();
        bed.map.Folders.AddFolder(dir.Path(), true);
        bed.scan.SearchNextFolder();
        EXPECT_EQ(0, bed.report.idles) << "a is still pending";
        bed.scan.SearchNextFolder();
        bed.scan.SearchNextFolder();   // nothing pending: no second idle
        EXPECT_EQ(fast, bed.report.idles);
        EXPECT_EQ((std::vector<std::wstring>{L"文件夹搜索完成:" + dir.Path(), L"文件夹搜索完成:" + (dir / L"a")}),
                  bed.report.folderEnds);
    }
}

TEST(Scan, PathsBeyondTheClassicLimitAreExamined) {
    TempFolder dir;
    std::wstring relative;
    for (int i = 0; i < 6; ++i) relative += (i ? L"\\" : L"") + std::wstring(50, static_cast<wchar_t>(L'a' + i));
    std::wstring deep = dir.Write(relative + L"\\twin.txt", "same");
    ASSERT_GT(deep.size(), static_cast<size_t>(MAX_PATH));
    dir.Write(L"twin.txt", "same");
    ScanBed bed;
    bed.settings.FindMD5File = 1;
    bed.Prepare();
    bed.map.Folders.AddFolder(dir.Path(), true);
    bed.RunAll();
    ASSERT_EQ(bed.report.reachedTwo.size(), 1u);
    EXPECT_EQ(bed.report.reachedTwo[0].second, deep);   // stored without any prefix
    EXPECT_EQ(bed.report.rowRecords[1].nSize, 4u);
}

TEST(Scan, OneFolderOnDiskIsListedOnceHoweverItIsReached) {
    TempFolder dir;
    for (const char* n : {"1", "2", "3"}) dir.Write(std::wstring(L"photos\\p") + wchar_t(n[0]) + L".jpg", n);
    dir.Write(L"real\\thesis.doc", "thesis");
    ASSERT_TRUE(TempFolder::MakeFolderLink(dir.Path(), L"alias", L"real"));
    ScanBed bed;
    bed.settings.FindMD5File = 1;
    bed.Prepare();
    bed.map.Folders.AddFolder(dir / L"photos", true);
    bed.RunAll();
    // Searched again under other spellings, in later runs: nothing new is listed.
    for (const std::wstring& spelling : {dir / L"PHOTOS", dir / L"photos\\", L"\\\\?\\" + dir.Path() + L"\\Photos"}) {
        bed.Prepare();
        bed.map.Folders.AddFolder(spelling, true);
        bed.RunAll();
    }
    // The link and its target are one folder: one of them is listed.
    bed.Prepare();
    bed.map.Folders.AddFolder(dir.Path(), true);
    bed.RunAll();
    EXPECT_TRUE(bed.report.reachedTwo.empty());
    auto shown = bed.report.FilesShown();
    EXPECT_EQ(1, std::count_if(shown.begin(), shown.end(),
                               [](const std::wstring& f) { return f.find(L"thesis.doc") != std::wstring::npos; }));
    EXPECT_EQ(3, std::count_if(shown.begin(), shown.end(),
                               [](const std::wstring& f) { return f.find(L".jpg") != std::wstring::npos; }));

    // Clearing the history forgets what was listed: the folder is searched again.
    bed.map.ClearGroups();
    bed.map.Folders.ClearFolders();
    bed.Prepare();
    bed.map.Folders.AddFolder(dir / L"PHOTOS", true);
    bed.RunAll();
    shown = bed.report.FilesShown();
    EXPECT_EQ(6, std::count_if(shown.begin(), shown.end(),
                               [](const std::wstring& f) { return f.find(L".jpg") != std::wstring::npos; }));
    EXPECT_TRUE(bed.report.reachedTwo.empty());
}

TEST(Scan, NamesEndingInADotAreReadAsThemselves) {
    TempFolder dir;
    dir.Write(L"x\\a", "another file");
    dir.MakeDir(L"y");
    if (!TempFolder::WriteExact(dir / L"x\\a.", "dotted") || !TempFolder::WriteExact(dir / L"y\\a.", "dotted"))
        GTEST_SKIP() << "no names ending in a dot here";
    ScanBed bed;
    bed.settings.FindMD5File = 1;
    bed.Prepare();
    bed.map.Folders.AddFolder(dir.Path(), true);
    bed.RunAll();
    ASSERT_EQ(bed.report.reachedTwo.size(), 1u);
    EXPECT_EQ(bed.report.reachedTwo[0], std::make_pair(dir / L"x\\a.", dir / L"y\\a."));
    EXPECT_EQ(bed.report.rowRecords[0].nSize, 6u);
}

TEST(Scan, AStopDuringALargeDigestEndsTheStepBetweenTwoBlocks) {
    TempFolder dir;
    dir.Write(L"big.bin", TempFolder::Pattern(8 * 1048576));
    ScanBed bed;
    bed.settings.FastSearch = 0;   // every file digested as it is found
    bed.settings.FindMD5File = 1;
    bed.Prepare();
    bed.map.Folders.AddFolder(dir.Path(), false);
    // The request comes once the digest has begun: no stop check lies before its
    // first block.
    bed.report.onStatus = [&](const std::wstring& text) {
        if (text.rfind(L"正在计算文件MD5:", 0) == 0) bed.flags = FIND_STOP;
    };
    EXPECT_THROW(bed.scan.SearchNextFolder(), StopSignal);
    // The file is neither counted nor in a group.
    EXPECT_EQ(bed.fileCount.load(), 0);
    EXPECT_TRUE(bed.report.counters.empty());
    EXPECT_TRUE(bed.map.empty());
}

namespace {

// A tree for the content search: sizes that collide and sizes that do not, a file
// that comes after its size twin with other content, a twin of it further on, empty
// files, and a file over the digest limit.
void WriteContentTree(const TempFolder& dir) {
    dir.Write(L"a\\one.txt", "same content");
    dir.Write(L"a\\lone.bin", "no other file has this size");
    dir.Write(L"a\\empty1", "");
    dir.Write(L"b\\two.txt", "same content");
    dir.Write(L"b\\twin.txt", "SAME CONTENT");    // the size of one.txt, not its content
    dir.Write(L"b\\big.bin", TempFolder::Pattern(1048577));
    dir.Write(L"c\\three.txt", "same content");
    dir.Write(L"c\\twin2.txt", "SAME CONTENT");
    dir.Write(L"c\\empty2", "");
    dir.Write(L"c\\big2.bin", TempFolder::Pattern(1048577));
}

struct ContentRun {
    std::vector<std::pair<std::wstring, std::wstring>> reachedTwo, grew;
    std::vector<std::wstring> rowTexts;   // every field of every row record
    std::vector<std::pair<int, int>> counters;
    std::vector<std::wstring> folderEnds;
    unsigned reads = 0;
};

ContentRun SearchContent(const std::wstring& root, int fast, ScanBed* reuse = nullptr, int md5MaxSize = 1) {
    ScanBed own;
    ScanBed& bed = reuse ? *reuse : own;
    bed.settings.FastSearch = fast;
    bed.settings.FindMD5File = 1;
    bed.settings.Md5MaxSize = md5MaxSize;
    bed.scan.SetPauses(0, 0);
    bed.report = Recorder();
    const unsigned before = DigestOpenCount();
    bed.Prepare();
    bed.map.Folders.AddFolder(root, true);
    bed.RunAll();
    ContentRun run;
    run.reads = DigestOpenCount() - before;
    run.reachedTwo = bed.report.reachedTwo;
    run.grew = bed.report.grew;
    for (const SFileInfo& r : bed.report.rowRecords)
        run.rowTexts.push_back(r.strName + L"|" + r.strPath + L"|" + r.strTime + L"|" + std::to_wstring(r.nSize) +
                               L"|" + r.strMD5);
    run.counters = bed.report.counters;
    run.folderEnds = bed.report.folderEnds;
    return run;
}

// Two runs that must show the same rows, counters and folder ends.
void ExpectSameRun(const ContentRun& a, const ContentRun& b) {
    EXPECT_EQ(a.reachedTwo, b.reachedTwo);
    EXPECT_EQ(a.grew, b.grew);
    EXPECT_EQ(a.rowTexts, b.rowTexts);
    EXPECT_EQ(a.counters, b.counters);
    EXPECT_EQ(a.folderEnds, b.folderEnds);
}

}  // namespace

TEST(ScanContent, TheFastPaceReadsOnlyWhatCanMatchAndFindsTheSame) {
    TempFolder dir;
    WriteContentTree(dir);
    const ContentRun slow = SearchContent(dir.Path(), 0), fast = SearchContent(dir.Path(), 1);
    ExpectSameRun(slow, fast);
    // The groups: the three "same content", the two twins, the two empty files.
    ASSERT_EQ(3u, slow.reachedTwo.size());
    EXPECT_EQ(1u, slow.grew.size());
    // Every file under the limit is read at the default pace; the lone size is not
    // read at the fast one.
    EXPECT_EQ(8u, slow.reads);
    EXPECT_EQ(7u, fast.reads);
}

TEST(ScanContent, ASearchAgainReadsNoUnchangedFile) {
    TempFolder dir;
    WriteContentTree(dir);
    ScanBed bed;
    const ContentRun first = SearchContent(dir.Path(), 1, &bed);
    // A re-search: the groups emptied, every folder again.
    bed.map.ClearGroups();
    bed.map.Folders.RequeueAllFolders();
    ContentRun again = SearchContent(dir.Path(), 1, &bed);
    EXPECT_EQ(0u, again.reads);
    EXPECT_EQ(first.reachedTwo, again.reachedTwo);
    EXPECT_EQ(first.rowTexts, again.rowTexts);

    // A changed file is read again, and only it.
    dir.Write(L"c\\twin2.txt", "SAME CONTENT!");
    bed.map.ClearGroups();
    bed.map.Folders.RequeueAllFolders();
    again = SearchContent(dir.Path(), 1, &bed);
    EXPECT_EQ(2u, again.reachedTwo.size());
    EXPECT_EQ(0u, again.reads);   // its new size is its own: it waits unread
    // Clearing the history forgets the digests.
    bed.map.ClearGroups();
    bed.map.Folders.ClearFolders();
    bed.map.Digests.Clear();
    again = SearchContent(dir.Path(), 1, &bed);
    EXPECT_EQ(first.reads - 1, again.reads);   // all but the changed file, alone now
}

TEST(ScanContent, ANextRunOpensNoFileWhoseDigestItKept) {
    TempFolder dir;
    WriteContentTree(dir);
    // Written long ago, as far as the kept digests can tell.
    for (const wchar_t* name : {L"a\\one.txt", L"a\\lone.bin", L"a\\empty1", L"b\\two.txt", L"b\\twin.txt",
                                L"b\\big.bin", L"c\\three.txt", L"c\\twin2.txt", L"c\\empty2", L"c\\big2.bin"})
        TempFolder::SetLocalTime(dir / name, 2015, 3, 1, 12, 0, 0);
    TempFolder config;
    const std::wstring kept = config / L"digests.cache";
    ContentRun first;
    {
        ScanBed bed;
        bed.map.Stored.Open(kept);
        first = SearchContent(dir.Path(), 1, &bed);
    }
    ScanBed next;
    next.map.Stored.Open(kept);
    const ContentRun again = SearchContent(dir.Path(), 1, &next);
    EXPECT_GT(first.reads, 0u);
    EXPECT_EQ(0u, again.reads);   // the files that waited for a twin included
    EXPECT_EQ(first.rowTexts, again.rowTexts);
    EXPECT_EQ(first.counters, again.counters);
}

TEST(ScanSafety, RecycleBinsSystemFoldersAndTheProgramsOwnNamesAreNotSearched) {
    // A bin's copy sorted first would become a group's kept file while the live one
    // goes; a spare name left by a cut recycling would stand in for the real file.
    TempFolder dir;
    dir.Write(L"photo.jpg", "live");
    dir.Write(L"$RECYCLE.BIN\\S-1-5-21\\$R1A2B3C.jpg", "live");
    dir.Write(L"RECYCLER\\S-1-5-21\\Dc1.jpg", "live");
    dir.Write(L"$Recycle.Bin\\old.jpg", "live");
    dir.Write(L"System Volume Information\\x.jpg", "live");
    dir.Write(L"photo.jpg.12-34.twinseek-keep", "live");
    dir.Write(L"sub\\photo.jpg.56-78.twinseek-part", "li");
    dir.Write(L"sub\\photo.jpg", "live");
    ScanBed bed;
    bed.Prepare();
    bed.map.Folders.AddFolder(dir.Path(), true);
    bed.RunAll();
    EXPECT_EQ(bed.map.Folders.FolderPaths(), (std::vector<std::wstring>{dir.Path(), dir / L"sub"}));
    EXPECT_EQ(bed.report.FilesShown(), (std::vector<std::wstring>{dir / L"photo.jpg", dir / L"sub\\photo.jpg"}));
}

TEST(ScanSafety, ADriveRootIsTheRootWhateverTheCurrentFolder) {
    // The folder list keeps "C:" for the root; alone, that names the current folder on C:.
    wchar_t saved[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved);
    TempFolder dir;
    dir.Write(L"only-here.txt", "x");
    ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().c_str()));
    const wchar_t drive[] = {dir.Path()[0], L':', 0};
    ScanBed bed;
    bed.Prepare();
    bed.map.Folders.AddFolder(drive, false);
    bed.RunAll();
    SetCurrentDirectoryW(saved);
    // Listed from the current folder, its file would show as "C:\only-here.txt".
    const std::vector<std::wstring> shown = bed.report.FilesShown();
    EXPECT_EQ(0, std::count(shown.begin(), shown.end(), std::wstring(drive) + L"\\only-here.txt"));
    EXPECT_EQ(1u, bed.report.folderEnds.size());
}

TEST(ScanSafety, AClearWhileAFolderIsListedQueuesNoSubfolderAgain) {
    // 清空查找历史 during the step of a folder with subfolders: the search must not go on
    // into them as if nothing had been cleared.
    TempFolder dir;
    for (int k = 0; k < 5; ++k) dir.Write(L"sub" + std::to_wstring(k) + L"\\f.txt", "x");
    ScanBed bed;
    bed.Prepare();
    bed.map.Folders.AddFolder(dir.Path(), true);
    bed.report.onStatus = [&](const std::wstring& text) {
        if (text.rfind(L"文件夹:", 0) != 0) return;
        auto lock = bed.map.Lock();
        bed.map.ClearGroups();
        bed.map.Folders.ClearFolders();
    };
    bed.scan.SearchNextFolder();
    EXPECT_EQ(0, bed.map.Folders.FolderCount());
}

TEST(ScanContent, LargeFilesOfOneSizeAreReadWholeOnlyWhenTheirFirstAndLastBlocksAgree) {
    TempFolder dir;
    const size_t size = 2 * 1048576 + 1;
    const std::string base = TempFolder::Pattern(size);
    auto changed = [&](size_t at) {
        std::string bytes = base;
        bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
        return bytes;
    };
    dir.Write(L"a\\one.bin", base);
    dir.Write(L"b\\other-start.bin", changed(0));
    dir.Write(L"c\\other-end.bin", changed(size - 1));
    dir.Write(L"d\\copy.bin", base);
    dir.Write(L"e\\other-middle.bin", changed(size / 2));
    auto run = [&](int fast, unsigned& whole, unsigned& blocks) {
        ScanBed bed;
        bed.settings.FastSearch = fast;
        bed.settings.FindMD5File = 1;
        bed.settings.Md5MaxSize = 0;
        bed.scan.SetPauses(0, 0);
        const unsigned w = DigestOpenCount(), b = QuickOpenCount();
        bed.Prepare();
        bed.map.Folders.AddFolder(dir.Path(), true);
        bed.RunAll();
        whole = DigestOpenCount() - w;
        blocks = QuickOpenCount() - b;
        std::vector<std::wstring> rows;
        for (const SFileInfo& r : bed.report.rowRecords) rows.push_back(r.strPath + L"|" + r.strMD5);
        return rows;
    };
    unsigned slowWhole = 0, slowBlocks = 0, fastWhole = 0, fastBlocks = 0;
    const auto slow = run(0, slowWhole, slowBlocks);
    const auto fast = run(1, fastWhole, fastBlocks);
    // The same rows, digests included, as reading every file whole.
    EXPECT_EQ(slow, fast);
    ASSERT_EQ(2u, fast.size());
    EXPECT_NE(std::wstring::npos, fast[0].find(L"one.bin|"));
    EXPECT_NE(std::wstring::npos, fast[1].find(L"copy.bin|"));
    EXPECT_EQ(5u, slowWhole);
    EXPECT_EQ(0u, slowBlocks);
    // Fast: every file of the shared size has its blocks read once; only the copy,
    // its first file and the one that differs in the middle are read whole.
    EXPECT_EQ(5u, fastBlocks);
    EXPECT_EQ(3u, fastWhole);
}

namespace {

// Large copies whose digests end out of order on the pool: a long pair first, short
// ones and small copies behind it, a group of three.
void WriteLargeCopies(const TempFolder& dir) {
    const std::string longer = TempFolder::Pattern(6 * 1048576), shorter = TempFolder::Pattern(1048576 + 7);
    dir.Write(L"a\\1-long.bin", longer);
    dir.Write(L"a\\2-long.bin", longer);
    dir.Write(L"a\\3-small.txt", "small copy");
    dir.Write(L"a\\4-small.txt", "small copy");
    dir.Write(L"a\\5-short.bin", shorter);
    dir.Write(L"a\\6-short.bin", shorter);
    dir.Write(L"b\\7-short.bin", shorter);
    std::string other = shorter;
    other[other.size() / 2] ^= 1;
    dir.Write(L"b\\8-short-other.bin", other);
}

}  // namespace

TEST(ScanContent, LargeDigestsOnSeveralThreadsJoinInTheOrderFound) {
    TempFolder dir;
    WriteLargeCopies(dir);
    ScanBed alone, pooled;
    alone.scan.SetDigestThreads(1);
    pooled.scan.SetDigestThreads(3);
    const ContentRun one = SearchContent(dir.Path(), 1, &alone, 0), three = SearchContent(dir.Path(), 1, &pooled, 0);
    ExpectSameRun(one, three);
    EXPECT_EQ(one.reads, three.reads);
    ASSERT_EQ(3u, three.reachedTwo.size());
    ASSERT_EQ(1u, three.grew.size());
    EXPECT_NE(std::wstring::npos, three.grew[0].second.find(L"7-short.bin"));
}

TEST(ScanContent, AStopEndsEveryDigestOfTheStepAndASearchAfterFindsTheSame) {
    TempFolder dir;
    WriteLargeCopies(dir);
    ScanBed plain;
    const ContentRun whole = SearchContent(dir.Path(), 1, &plain, 0);

    ScanBed bed;
    bed.scan.SetDigestThreads(3);
    bed.settings.FindMD5File = 1;
    bed.settings.Md5MaxSize = 0;
    bed.Prepare();
    bed.map.Folders.AddFolder(dir.Path(), true);
    // The stop comes while both long digests are on the pool.
    bed.report.onStatus = [&](const std::wstring& text) {
        if (text.find(L"3-small.txt") != std::wstring::npos) bed.flags = FIND_STOP;
    };
    EXPECT_THROW(bed.RunAll(), StopSignal);
    // No digest reads on after the step: a pass may take the files at once.
    for (const wchar_t* name : {L"a\\1-long.bin", L"a\\2-long.bin"}) {
        HANDLE h = CreateFileW((dir / name).c_str(), GENERIC_READ | DELETE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, h) << GetLastError();
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    // Only the first file, which waited unread, counted; its twin never joined.
    EXPECT_TRUE(bed.report.reachedTwo.empty());
    EXPECT_EQ(1u, bed.report.counters.size());

    // A new search over the same map and scan finds what an unbroken one does.
    bed.report.onStatus = nullptr;
    bed.flags = FIND_RUNNING;
    bed.map.ClearGroups();
    bed.map.Folders.ClearFolders();
    const ContentRun again = SearchContent(dir.Path(), 1, &bed, 0);
    EXPECT_EQ(whole.reachedTwo, again.reachedTwo);
    EXPECT_EQ(whole.rowTexts, again.rowTexts);
    EXPECT_EQ(whole.counters, again.counters);
}

TEST(ScanContent, AFileChangedAfterItsBlocksWereComparedIsGroupedByWhatItHoldsNow) {
    TempFolder dir;
    const std::string base = TempFolder::Pattern(2 * 1048576 + 1);
    const std::wstring first = dir.Write(L"a\\one.bin", base);
    dir.Write(L"b\\copy.bin", base);
    ScanBed bed;
    bed.settings.FindMD5File = 1;
    bed.scan.SetPauses(0, 0);
    bed.Prepare();
    bed.map.Folders.AddFolder(dir.Path(), true);
    // Its blocks have matched its copy's; before it is read whole, its middle changes.
    bed.report.onStatus = [&](const std::wstring& text) {
        if (text != L"正在计算文件MD5:" + first) return;
        std::string changed = base;
        changed[base.size() / 2] ^= 1;
        dir.Write(L"a\\one.bin", changed);
    };
    bed.RunAll();
    EXPECT_TRUE(bed.report.reachedTwo.empty());
    EXPECT_EQ(2, bed.fileCount.load());
}
