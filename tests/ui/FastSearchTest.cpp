// The fast pace in the real main window: same results as the default pace, texts
// bounded by time, and a stop that still ends a large folder at once.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/TempFolder.h"
#include "tests/ui/ResultsDriver.h"
#include "tests/ui/StatusRecorder.h"
#include "tests/ui/UiDriver.h"

namespace {

// Plain file writing: TempFolder::Write makes the folders on the way for every file.
void Write(const std::wstring& path, const std::string& content) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DWORD written = 0;
    WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(h);
}

// A few thousand files in a root and five subfolders, mostly unique. Among them:
// pairs across folders, groups that grow to five, and names shared by groups of
// different sizes (their rows are placed next to each other).
struct Tree {
    Tree() {
        root = dir.MakeDir(L"tree");
        const wchar_t* folders[] = {L"", L"\\a", L"\\b", L"\\c", L"\\d", L"\\e"};
        for (int k = 0; k < 6; ++k) {
            std::wstring sub = root + folders[k];
            if (k) CreateDirectoryW(sub.c_str(), nullptr);
            last = sub;
            for (int i = 0; i < kUnique; ++i)
                Write(sub + L"\\u" + std::to_wstring(k) + L"_" + std::to_wstring(i) + L".dat", std::string(1 + i % 7, 'u'));
            // Pairs: p<j> in folder j % 5 and (j % 5) + 1.
            for (int j = 0; j < 40; ++j)
                if (k == j % 5 || k == j % 5 + 1) Write(sub + L"\\p" + std::to_wstring(j) + L".txt", std::string(j + 1, 'p'));
            // Growing groups: g<j> in every folder from the second on, equal sizes.
            if (k >= 1)
                for (int j = 0; j < 4; ++j) Write(sub + L"\\g" + std::to_wstring(j) + L".bin", std::string(10 + j, 'g'));
            // One name, two sizes: two groups showing the same name.
            Write(sub + L"\\same.log", std::string(k % 2 ? 3 : 4, 's'));
            files += kUnique + 1 + (k >= 1 ? 4 : 0);
            for (int j = 0; j < 40; ++j) files += (k == j % 5 || k == j % 5 + 1) ? 1 : 0;
        }
    }
    static constexpr int kUnique = 150;
    TempFolder dir;
    std::wstring root, last;
    int files = 0;
};

// One folder of 2,000 files for the tests that need a long folder, made once.
class FastSearch : public testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempFolder;
        big_ = dir_->MakeDir(L"big");
        for (int i = 0; i < kBig; ++i)
            // Sizes in pairs, contents all different: every file is read for its digest.
            Write(big_ + L"\\f" + std::to_wstring(i) + L".dat", std::string(2048 + i / 2, static_cast<char>('a' + i % 26)));
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static constexpr int kBig = 2000;
    static TempFolder* dir_;
    static std::wstring big_;
};
TempFolder* FastSearch::dir_ = nullptr;
std::wstring FastSearch::big_;

struct Outcome {
    std::vector<std::wstring> rows;
    std::wstring status, counters;
};

Outcome SearchAt(const Tree& data, int fast) {
    Outcome out;
    ui::MainWindowRun run("[TWINSEEK]\r\nFindSizeFile=1\r\nExpandItem=1\r\nFastSearch=" + std::to_string(fast) +
                          "\r\n");
    // The entry and folder pauses of the default pace would only make this slow.
    run.dlg.Scan.SetPauses(0, 0);
    run.Run(
        [&](HWND main) {
            const std::wstring done = L"文件夹搜索完成:" + data.last;
            const std::wstring counters = L"文件夹:6|文件:" + std::to_wstring(data.files);
            ui::StartSearch(main, data.root);
            EXPECT_TRUE(ui::WaitUntil(
                [&] { return ui::ItemText(main, IDC_STATUS) == done && ui::ItemText(main, IDC_COUNT) == counters; },
                90000))
                << "fast=" << fast;
            ui::Barrier(main);
            out.rows = ui::AllRows(run.tree());
            out.status = ui::ItemText(main, IDC_STATUS);
            out.counters = ui::ItemText(main, IDC_COUNT);
            ui::StopSearch(main, run.dlg);
        },
        120000);
    return out;
}

TEST_F(FastSearch, ShowsTheSameResultsAsTheDefaultPace) {
    DWORD t0 = GetTickCount();
    Tree data;
    DWORD t1 = GetTickCount();
    Outcome fast = SearchAt(data, 1);
    DWORD t2 = GetTickCount();
    Outcome slow = SearchAt(data, 0);
    std::printf("%d files: made in %lu ms, fast %lu ms, default %lu ms\n", data.files,
                static_cast<unsigned long>(t1 - t0), static_cast<unsigned long>(t2 - t1),
                static_cast<unsigned long>(GetTickCount() - t2));
    // 40 pairs, 4 groups of five, two groups named same.log.
    ASSERT_EQ(46u + 40 * 2 + 4 * 5 + 6, slow.rows.size());
    EXPECT_EQ(slow.rows, fast.rows);
    EXPECT_EQ(slow.status, fast.status);
    EXPECT_EQ(slow.counters, fast.counters);
}

TEST_F(FastSearch, StatusTextsAreBoundedByTimeAndEndWithTheFolder) {
    const std::wstring& root = big_;
    ui::MainWindowRun run("[TWINSEEK]\r\nFastSearch=1\r\n");
    run.Run([&](HWND main) {
        ui::StatusRecorder texts(main);
        const std::wstring done = L"文件夹搜索完成:" + root;
        ui::StartSearch(main, root);
        ASSERT_TRUE(texts.WaitSaw(done, 0, 30000));
        ASSERT_TRUE(ui::WaitUntil([&] { return ui::ItemText(main, IDC_COUNT) == L"文件夹:1|文件:" + std::to_wstring(kBig); }));
        Sleep(200);   // idle: nothing more may come
        std::vector<ui::StatusRecorder::Entry> status = texts.Entries();
        ASSERT_GE(status.size(), 2u);
        EXPECT_EQ(L"查找已经启动", status.front().text);
        EXPECT_EQ(done, status.back().text);
        const DWORD elapsed = status.back().tick - status.front().tick;
        // About one text per 50 ms, plus the start and the end.
        EXPECT_LE(status.size(), elapsed / 40 + 3) << elapsed << " ms";
        std::vector<ui::StatusRecorder::Entry> counters = texts.Counters();
        ASSERT_FALSE(counters.empty());
        EXPECT_LE(counters.size(), elapsed / 40 + 2) << elapsed << " ms";
        EXPECT_EQ(L"文件夹:1|文件:" + std::to_wstring(kBig), counters.back().text);
        std::printf("2000 files: %ld ms, %zu status texts, %zu counter texts\n", static_cast<long>(elapsed),
                    status.size(), counters.size());
        ui::StopSearch(main, run.dlg);
        EXPECT_EQ(L"查找结束！", ui::ItemText(main, IDC_STATUS));
    });
}

TEST_F(FastSearch, ManySmallFoldersStillRefreshTheStatusLineByTime) {
    TempFolder dir;
    const std::wstring root = dir.MakeDir(L"many");
    for (int i = 0; i < 300; ++i) {
        const std::wstring folder = root + L"\\d" + std::to_wstring(i);
        CreateDirectoryW(folder.c_str(), nullptr);
        Write(folder + L"\\only.txt", std::to_string(i));
    }
    ui::MainWindowRun run("[TWINSEEK]\r\nFastSearch=1\r\n");
    run.Run([&](HWND main) {
        ui::StatusRecorder texts(main);
        ui::StartSearch(main, root);
        ASSERT_TRUE(ui::WaitUntil([&] { return ui::ItemText(main, IDC_COUNT) == L"文件夹:301|文件:300"; }, 60000));
        // The line ends on the end text of a subfolder, the last one searched.
        const std::wstring ends = L"文件夹搜索完成:" + root + L"\\d";
        ASSERT_TRUE(ui::WaitUntil([&] { return ui::ItemText(main, IDC_STATUS).rfind(ends, 0) == 0; }));
        Sleep(200);   // idle: nothing more may come
        std::vector<ui::StatusRecorder::Entry> status = texts.Entries();
        ASSERT_GE(status.size(), 2u);
        EXPECT_EQ(ui::ItemText(main, IDC_STATUS), status.back().text);
        const DWORD elapsed = status.back().tick - status.front().tick;
        // Every folder ends with a text of its own; the line shows the latest one a tick.
        EXPECT_LE(status.size(), elapsed / 40 + 3) << elapsed << " ms";
        std::printf("300 folders: %ld ms, %zu status texts\n", static_cast<long>(elapsed), status.size());
        ui::StopSearch(main, run.dlg);
    });
}

TEST_F(FastSearch, StopEndsALargeFolderAtOnce) {
    const std::wstring& root = big_;
    const int total = kBig;
    // Digests make every file cost something, so the stop lands inside the folder.
    ui::MainWindowRun run("[TWINSEEK]\r\nFastSearch=1\r\nFindMD5File=1\r\n");
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        ui::StatusRecorder texts(main);
        ui::StartSearch(main, root);
        ASSERT_TRUE(ui::WaitUntil([&] { return dlg.FileCount >= 100; }, 20000));
        // The window answers at once while the worker runs flat out.
        for (int i = 0; i < 5; ++i) {
            DWORD_PTR answer = 0;
            EXPECT_TRUE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer));
        }
        // ... before the scan is done with the folder.
        EXPECT_LT(dlg.FileCount.load(), total);
        ui::PressButton(main, IDC_FIND);
        ASSERT_TRUE(texts.WaitSaw(L"查找结束！", 0, 3000));
        EXPECT_LT(dlg.FileCount.load(), total);
        EXPECT_LT(texts.Find(L"文件夹搜索完成:" + root), 0);
        DWORD asked = 0, ended = 0;
        for (const ui::StatusRecorder::Entry& e : texts.Entries()) {
            if (e.text == L"查找即将结束" && !asked) asked = e.tick;
            if (e.text == L"查找结束！") ended = e.tick;
        }
        ASSERT_NE(0u, asked);
        // The worker stops at its next entry (the folder is never done); what it held
        // back is shown first.
        EXPECT_GE(ended, asked);
        std::printf("stop latency: %lu ms after %d files\n", static_cast<unsigned long>(ended - asked),
                    dlg.FileCount.load());
        // Nothing of the scan comes after the end.
        EXPECT_EQ(L"查找结束！", texts.Entries().back().text);
        ui::StopSearch(main, dlg);
        EXPECT_EQ(L"查找结束！", ui::ItemText(main, IDC_STATUS));
    });
}

}  // namespace

TEST_F(FastSearch, RowsCanBeTickedAndExpandedWhileMoreKeepComing) {
    // Every name in every folder: the groups form in the second folder and grow by
    // one file in each folder after it, faster than the window can show them.
    const int folders = 200, names = 80;
    TempFolder dir;
    const std::wstring root = dir.MakeDir(L"many");
    for (int k = 0; k < folders; ++k) {
        const std::wstring sub = root + L"\\" + std::to_wstring(k);
        CreateDirectoryW(sub.c_str(), nullptr);
        for (int i = 0; i < names; ++i)
            Write(sub + L"\\s" + std::to_wstring(i) + L".dat", std::string(1 + i, static_cast<char>('a' + i % 26)));
    }
    ui::MainWindowRun run("[TWINSEEK]\r\nFastSearch=1\r\nFindSizeFile=1\r\n");
    run.Run(
        [&](HWND main) {
            CTwinseekDlg& dlg = run.dlg;
            HWND tree = run.tree();
            ui::StartSearch(main, root);
            ASSERT_TRUE(ui::WaitUntil([&] { return ui::Roots(tree).size() >= 2; }, 30000));
            const std::vector<HTREEITEM> roots = ui::Roots(tree);

            const std::vector<HTREEITEM> before = ui::Children(tree, roots[0]);
            DWORD start = GetTickCount();
            ui::Click(main, tree, ui::CheckBoxPoint(tree, roots[0]));
            const DWORD tickTook = GetTickCount() - start;
            EXPECT_TRUE(ui::Checked(tree, roots[0]));
            // Its files shown by then are ticked with it.
            for (HTREEITEM f : before) EXPECT_TRUE(ui::Checked(tree, f));

            ASSERT_FALSE(ui::Expanded(tree, roots[1]));
            start = GetTickCount();
            ui::Click(main, tree, ui::ExpandButtonPoint(tree, roots[1]));
            const DWORD expandTook = GetTickCount() - start;
            EXPECT_TRUE(ui::Expanded(tree, roots[1]));

            // Both answered; how soon, and whether the groups were still growing then,
            // depends on the machine's load: the figures are printed, `make bench` has them.
            const size_t shownThen = ui::Children(tree, roots[1]).size();
            std::printf("tick %lu ms, expand %lu ms, with %zu of %d files in the group\n",
                        static_cast<unsigned long>(tickTook), static_cast<unsigned long>(expandTook), shownThen,
                        folders);

            const std::wstring counters =
                L"文件夹:" + std::to_wstring(folders + 1) + L"|文件:" + std::to_wstring(folders * names);
            ASSERT_TRUE(ui::WaitUntil([&] { return ui::ItemText(main, IDC_COUNT) == counters; }, 60000));
            ASSERT_TRUE(ui::WaitUntil([&] { return ui::Children(tree, roots[1]).size() == static_cast<size_t>(folders); }));
            // What the user did stays, and the groups went on growing under it.
            EXPECT_TRUE(ui::Checked(tree, roots[0]));
            EXPECT_TRUE(ui::Expanded(tree, roots[1]));
            EXPECT_EQ(std::to_wstring(folders), ui::Pieces(tree, roots[1])[0]);
            ui::StopSearch(main, dlg);
        },
        120000);
}
