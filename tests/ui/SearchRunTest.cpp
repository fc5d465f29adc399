// Searches from start to stop in the real main window, on folder trees made here.
#include <gtest/gtest.h>

#include <mutex>
#include <windows.h>
#include <commctrl.h>

#include <set>
#include <vector>

#include "res/resource.h"
#include "tests/TempFolder.h"
#include "tests/ui/ResultsDriver.h"
#include "tests/ui/StatusRecorder.h"
#include "tests/ui/UiDriver.h"
#include "win/MessageBox.h"

namespace {

using ui::Pieces;
using ui::Roots;

// The texts from the first `first` on, leaving out the scan's own.
std::vector<std::wstring> RunTextsFrom(ui::StatusRecorder& status, const std::wstring& first) {
    std::vector<std::wstring> out;
    bool on = false;
    for (auto& t : status.Texts()) {
        on = on || t == first;
        if (on && t.rfind(L"文件", 0) != 0 && t.rfind(L"正在", 0) != 0) out.push_back(t);
    }
    return out;
}

// root\dup.txt, root\a\dup.txt, root\b\dup.txt, root\a\same.bin, root\b\same.bin, root\b\only.txt
struct Tree {
    Tree() {
        root = dir.MakeDir(L"data");
        dir.Write(L"data\\dup.txt", "1");
        dir.Write(L"data\\a\\dup.txt", "22");
        dir.Write(L"data\\b\\dup.txt", "333");
        dir.Write(L"data\\a\\same.bin", "x");
        dir.Write(L"data\\b\\same.bin", "x");
        dir.Write(L"data\\b\\only.txt", "y");
        other = dir.MakeDir(L"other");
        dir.Write(L"other\\same.bin", "x");
        dir.Write(L"other\\new.txt", "n");
        dir.Write(L"other\\sub\\new.txt", "n");
    }
    TempFolder dir;
    std::wstring root, other;
};

HTREEITEM GroupNamed(HWND tree, const std::wstring& name) {
    for (HTREEITEM r : Roots(tree))
        if (Pieces(tree, r)[1] == name) return r;
    return nullptr;
}

bool GroupHas(HWND tree, const std::wstring& name, const std::wstring& count) {
    HTREEITEM r = GroupNamed(tree, name);
    return r && Pieces(tree, r)[0] == count;
}

// The picker of the add-folder command (a parentless browser, not the main window),
// once its tree shows the initial selection; null when that does not come in time.
HWND WaitForPicker(HWND main, HWND& shown) {
    shown = nullptr;
    return ui::WaitForDialog(
        [&](HWND h) {
            HWND tree = ui::PickerTree(h);
            if (tree) shown = h;
            return tree && SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) != 0;
        },
        {main}, 8000);
}

// Runs the add-folder command and confirms the picker on `folder`. Wine's browser
// now and then never applies its initial folder; it is cancelled and asked again.
void PickFolder(HWND main, CTwinseekDlg& dlg, const std::wstring& folder) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        SendMessageW(main, WM_NULL, 0, 0);
        dlg.LastFolder = folder;   // the picker opens on it; the window thread is idle here
        ui::PressButton(main, IDOK);
        HWND shown = nullptr;
        if (HWND picker = WaitForPicker(main, shown)) {
            ui::PressButton(picker, IDOK);
            ASSERT_TRUE(ui::WaitForClose(picker));
            return;
        }
        if (!shown) break;
        ui::PressButton(shown, IDCANCEL);
        ASSERT_TRUE(ui::WaitForClose(shown, 20000));
    }
    FAIL() << "the folder picker did not open on " << std::string(folder.begin(), folder.end());
}

TEST(SearchRun, TypedFolderIsSearchedUntilStopped) {
    Tree data;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        ui::StatusRecorder status(main);
        ui::StartSearch(main, data.root + L"\\");
        EXPECT_EQ(data.root, ui::ItemText(main, IDC_FOLDER));
        EXPECT_EQ(L"停止查找", ui::ItemText(main, IDC_FIND));
        EXPECT_EQ(FIND_RUNNING, dlg.FindFlags.load());
        ASSERT_FALSE(status.Texts().empty());
        EXPECT_EQ(L"查找已经启动", status.Texts()[0]);
        auto folders = dlg.FileInfoMap.Folders.Items();
        ASSERT_FALSE(folders.empty());
        EXPECT_EQ(data.root, folders[0].strPath);

        // Breadth first: the last folder is b; afterwards the worker idles.
        ASSERT_TRUE(status.WaitSaw(L"文件夹搜索完成:" + data.root + L"\\b", 0));
        EXPECT_TRUE(GroupHas(tree, L"dup.txt", L"3"));
        EXPECT_TRUE(GroupHas(tree, L"same.bin", L"2"));
        EXPECT_EQ(2u, Roots(tree).size());
        EXPECT_EQ(L"文件夹:3|文件:6", ui::ItemText(main, IDC_COUNT));
        Sleep(300);
        EXPECT_EQ(FIND_RUNNING, dlg.FindFlags.load());
        EXPECT_NE(nullptr, dlg.FindThread.get());

        ui::PressButton(main, IDC_FIND);
        ui::Barrier(main);
        EXPECT_EQ(L"开始查找", ui::ItemText(main, IDC_FIND));
        ASSERT_TRUE(status.WaitSaw(L"查找结束！", 0, 3000));
        EXPECT_TRUE(ui::WaitUntil([&] { return !dlg.FindThread.get(); }, 3000));
        EXPECT_EQ(FIND_STOP, dlg.FindFlags.load());
        EXPECT_EQ(L"开始查找", ui::ItemText(main, IDC_FIND));
        long latency = status.Between(L"查找即将结束", L"查找结束！");
        EXPECT_GE(latency, 0);
        std::printf("stop latency: %ld ms\n", latency);
        EXPECT_EQ((std::vector<std::wstring>{L"查找即将结束", L"查找结束！"}),
                  RunTextsFrom(status, L"查找即将结束"));
        // The rows stay after the run.
        EXPECT_EQ(2u, Roots(tree).size());
    });
}

TEST(SearchRun, StartWithAnEmptyFieldAsksForAFolder) {
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        ui::PressButton(main, IDC_FIND);
        HWND box = ui::WaitForMessageBox(L"请添加查找文件夹");
        ASSERT_NE(nullptr, box);
        EXPECT_EQ(win::AppName(), ui::Text(box));
        ui::PressButton(box, IDOK);
        EXPECT_TRUE(ui::WaitForClose(box));
        EXPECT_EQ(0u, run.dlg.FindFlags.load());
        EXPECT_EQ(nullptr, run.dlg.FindThread.get());
        EXPECT_EQ(L"开始查找", ui::ItemText(main, IDC_FIND));
    });
}

TEST(SearchRun, PickingAListedFolderAgainAsksToSearchItAgain) {
    Tree data;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        ui::StatusRecorder status(main);
        PickFolder(main, dlg, data.root);
        // Not running: picking starts a run.
        ASSERT_TRUE(ui::WaitUntil([&] { return dlg.FindFlags == FIND_RUNNING; }));
        std::wstring listed = ui::ItemText(main, IDC_FOLDER);
        EXPECT_TRUE(ui::SamePath(data.root, listed)) << listed;
        HANDLE worker = dlg.FindThread.get();
        ASSERT_TRUE(status.WaitSaw(L"文件夹搜索完成:" + listed + L"\\b", 0));
        const size_t folders = dlg.FileInfoMap.Folders.Items().size();

        PickFolder(main, dlg, data.root);
        HWND box = ui::WaitForMessageBox(L"此文件夹已经添加,要重新查找此文件夹吗？");
        ASSERT_NE(nullptr, box);
        EXPECT_EQ(L"文件夹重复", ui::Text(box));
        EXPECT_EQ(main, GetWindow(box, GW_OWNER));
        ui::PressButton(box, IDNO);
        ASSERT_TRUE(ui::WaitForClose(box));
        ui::Barrier(main);
        for (const SFolderItem& f : dlg.FileInfoMap.Folders.Items()) EXPECT_EQ(0, f.bPending) << f.strPath;
        EXPECT_EQ(folders, dlg.FileInfoMap.Folders.Items().size());

        size_t mark = status.Size();
        PickFolder(main, dlg, data.root);
        box = ui::WaitForMessageBox(L"此文件夹已经添加,要重新查找此文件夹吗？");
        ASSERT_NE(nullptr, box);
        ui::PressButton(box, IDYES);
        ASSERT_TRUE(ui::WaitForClose(box));
        // The same worker searches the folder and its subfolders again.
        ASSERT_TRUE(status.WaitSaw(L"文件夹:" + listed, mark));
        ASSERT_TRUE(status.WaitSaw(L"文件夹搜索完成:" + listed + L"\\b", mark));
        EXPECT_EQ(worker, dlg.FindThread.get());
        EXPECT_EQ(FIND_RUNNING, dlg.FindFlags.load());
        EXPECT_EQ(folders, dlg.FileInfoMap.Folders.Items().size());
        ui::StopSearch(main, dlg);
    });
}

TEST(SearchRun, ADriveRootIsListedWithoutItsBackslash) {
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        PickFolder(main, dlg, L"C:\\");
        ASSERT_TRUE(ui::WaitUntil([&] { return dlg.FindFlags == FIND_RUNNING; }));
        ui::StopSearch(main, dlg);
        EXPECT_EQ(L"C:", ui::ItemText(main, IDC_FOLDER));
        EXPECT_TRUE(ui::SamePath(L"C:\\", dlg.LastFolder)) << dlg.LastFolder;
        ASSERT_FALSE(dlg.FileInfoMap.Folders.Items().empty());
        EXPECT_TRUE(ui::SamePath(L"C:", dlg.FileInfoMap.Folders.Items()[0].strPath));
    });
}

TEST(SearchRun, SecondFolderJoinsTheRunningWorker) {
    Tree data;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        ui::StatusRecorder status(main);
        ui::StartSearch(main, data.root);
        HANDLE worker = dlg.FindThread.get();
        ASSERT_NE(nullptr, worker);
        PickFolder(main, dlg, data.other);
        std::wstring other = ui::ItemText(main, IDC_FOLDER);
        ASSERT_TRUE(status.WaitSaw(L"文件夹搜索完成:" + other + L"\\sub", 0));
        EXPECT_EQ(worker, dlg.FindThread.get());
        EXPECT_EQ(FIND_RUNNING, dlg.FindFlags.load());
        EXPECT_TRUE(GroupHas(tree, L"same.bin", L"3"));
        EXPECT_TRUE(GroupHas(tree, L"new.txt", L"2"));
        EXPECT_TRUE(GroupHas(tree, L"dup.txt", L"3"));
        ui::StopSearch(main, dlg);
    });
}

TEST(SearchRun, ReSearchRebuildsTheRows) {
    Tree data;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        ui::StatusRecorder status(main);
        ui::StartSearch(main, data.root);
        ASSERT_TRUE(status.WaitSaw(L"文件夹搜索完成:" + data.root + L"\\b", 0));
        HANDLE worker = dlg.FindThread.get();

        // During the run: the same worker searches everything again.
        size_t mark = status.Size();
        ui::PressButton(main, IDC_REFIND);
        ASSERT_TRUE(status.WaitSaw(L"文件夹:" + data.root, mark));
        ASSERT_TRUE(status.WaitSaw(L"文件夹搜索完成:" + data.root + L"\\b", mark));
        EXPECT_EQ(worker, dlg.FindThread.get());
        EXPECT_EQ(2u, Roots(tree).size());
        EXPECT_TRUE(GroupHas(tree, L"dup.txt", L"3"));

        // Without a run: it starts one.
        ui::StopSearch(main, dlg);
        mark = status.Size();
        ui::PressButton(main, IDC_REFIND);
        ASSERT_TRUE(status.WaitSaw(L"文件夹搜索完成:" + data.root + L"\\b", mark));
        EXPECT_EQ(FIND_RUNNING, dlg.FindFlags.load());
        EXPECT_EQ(2u, Roots(tree).size());
        EXPECT_TRUE(GroupHas(tree, L"same.bin", L"2"));
        ui::StopSearch(main, dlg);
    });
}

TEST(SearchRun, ClearHistoryDuringARunLeavesTheRunActive) {
    Tree data;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        ui::StatusRecorder status(main);
        ui::StartSearch(main, data.root);
        ASSERT_TRUE(status.WaitSaw(L"文件夹搜索完成:" + data.root + L"\\b", 0));
        std::wstring counters = ui::ItemText(main, IDC_COUNT);
        ui::PressButton(main, IDC_CLEAR_HISTORY);
        ui::Barrier(main);
        EXPECT_TRUE(Roots(tree).empty());
        EXPECT_TRUE(dlg.FileInfoMap.Folders.Items().empty());
        Sleep(300);
        EXPECT_EQ(FIND_RUNNING, dlg.FindFlags.load());
        EXPECT_NE(nullptr, dlg.FindThread.get());
        EXPECT_EQ(L"停止查找", ui::ItemText(main, IDC_FIND));
        EXPECT_EQ(counters, ui::ItemText(main, IDC_COUNT));
        ui::StopSearch(main, dlg);
    });
}

TEST(SearchRun, StartRightAfterStopWaitsForTheOldWorker) {
    Tree data;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        ui::StatusRecorder status(main);
        ui::StartSearch(main, data.root);
        ASSERT_TRUE(status.WaitSaw(L"文件夹搜索完成:" + data.root + L"\\b", 0));
        // The worker cannot end while a pass holds the results: stop, then start.
        std::unique_lock<std::mutex> pass(dlg.PassLock);
        ui::PressButton(main, IDC_FIND);
        ui::PressButton(main, IDC_FIND);
        ui::Barrier(main);
        // The start waits, and says so; pressed again, it is called off, and taken up again.
        EXPECT_EQ(kWaitingForStop, ui::ItemText(main, IDC_STATUS));
        EXPECT_EQ(L"停止查找", ui::ItemText(main, IDC_FIND));
        ui::PressButton(main, IDC_FIND);
        ui::Barrier(main);
        EXPECT_EQ(L"开始查找", ui::ItemText(main, IDC_FIND));
        ui::PressButton(main, IDC_FIND);
        ui::Barrier(main);
        EXPECT_NE(nullptr, dlg.FindThread.get());
        pass.unlock();
        ASSERT_TRUE(ui::WaitUntil([&] { return RunTextsFrom(status, L"查找即将结束").size() >= 6; }, 10000));
        EXPECT_EQ((std::vector<std::wstring>{L"查找即将结束", kWaitingForStop, L"查找即将结束", kWaitingForStop,
                                             L"查找结束！", L"查找已经启动"}),
                  RunTextsFrom(status, L"查找即将结束"));
        ui::Barrier(main);
        EXPECT_EQ(FIND_RUNNING, dlg.FindFlags.load());
        EXPECT_NE(nullptr, dlg.FindThread.get());
        EXPECT_EQ(L"停止查找", ui::ItemText(main, IDC_FIND));
        ui::StopSearch(main, dlg);
        EXPECT_EQ(L"查找结束！", ui::ItemText(main, IDC_STATUS));
    });
}

}  // namespace

TEST(SearchRun, ClearingAndReSearchingOverAndOverLeavesNoStaleRow) {
    // Every name in every folder: groups form and grow all the time.
    TempFolder dir;
    const std::wstring root = dir.MakeDir(L"many");
    for (int k = 0; k < 20; ++k)
        for (int i = 0; i < 10; ++i)
            dir.Write(L"many\\" + std::to_wstring(k) + L"\\f" + std::to_wstring(i) + L".txt", "x");
    for (const char* pace : {"0", "1"}) {
        ui::MainWindowRun run(std::string("[TWINSEEK]\r\nFastSearch=") + pace + "\r\n");
        // The fast run swaps in a new tree on every clear, as a whole disk's results do.
        const bool replace = pace[0] == '1';
        if (replace) run.dlg.ResultsView.SetReplaceTreeFrom(0);
        run.Run([&](HWND main) {
            CTwinseekDlg& dlg = run.dlg;
            std::vector<HWND> trees;
            ui::StartSearch(main, root);
            for (int i = 0; i < 25; ++i) {
                Sleep(static_cast<DWORD>(i % 5) * 15);
                trees.push_back(run.tree());
                ui::PressButton(main, i % 2 ? IDC_CLEAR_HISTORY : IDC_REFIND);
                ui::Barrier(main);
                EXPECT_EQ(replace, run.tree() != trees.back());
                if (i % 2) {
                    EXPECT_TRUE(Roots(run.tree()).empty());
                    // No group holds back rows that could come back.
                    EXPECT_EQ(0u, dlg.ResultsView.RowCount());
                }
            }
            ui::PressButton(main, IDC_REFIND);
            Sleep(200);
            ui::StopSearch(main, dlg);
            dlg.FlushScanFeed();
            ui::Barrier(main);
            HWND tree = run.tree();
            // A new tree ticks like the first; each old one goes away once emptied.
            EXPECT_TRUE(GetWindowLongPtrW(tree, GWL_STYLE) & TVS_CHECKBOXES);
            EXPECT_NE(nullptr, TreeView_GetImageList(tree, TVSIL_STATE));
            EXPECT_NE(nullptr, TreeView_GetImageList(tree, TVSIL_NORMAL));
            EXPECT_EQ(tree, GetDlgItem(dlg.ResultTree.GetHwnd(), CColumnTreeCtrl::kTreeId));
            if (replace) {
                for (HWND old : trees) EXPECT_TRUE(ui::WaitUntil([&] { return !IsWindow(old); }, 10000));
            }
            // Whatever is shown is whole: each group row counts its own file rows, of
            // its own name, each file shown once.
            std::set<std::wstring> paths;
            for (HTREEITEM g : Roots(tree)) {
                const auto group = ui::Pieces(tree, g);
                const auto files = ui::Children(tree, g);
                EXPECT_GE(files.size(), 2u);
                EXPECT_EQ(std::to_wstring(files.size()), group[0]);
                for (HTREEITEM f : files) {
                    EXPECT_EQ(group[1], ui::Pieces(tree, f)[1]);
                    EXPECT_TRUE(paths.insert(ui::PathOf(tree, f)).second);
                }
            }
        });
    }
}
