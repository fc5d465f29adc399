// Benchmark driver, run by tools/bench.sh:
//   twinseek_bench md5 <file> [runs]          median MB/s of DigestOfFile
//   twinseek_bench scan <folder> <0|1> [runs]  the scan at full speed, digest off or on,
//                                              beside a bare walk (and read) of the folder
//   twinseek_bench ui-scan <folder> <0|1> [similar] [commands]
//                                              the main window searching the folder with
//                                              FastSearch 1, next to a bare walk of it;
//                                              then, unless commands is 0, expand all,
//                                              collapse all and clear on the results
//   twinseek_bench delete <folder> <groups> <KiB> [runs]
//                                              a keep-first delete for good of groups of
//                                              two equal files, with the content check off
//                                              and on
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <cstring>
#include <cwchar>
#include <deque>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/TwinseekDlg.h"
#include "engine/FileDigest.h"
#include "engine/FileStatus.h"
#include "engine/FindFlags.h"
#include "engine/FolderScan.h"
#include "fileops/DeletePass.h"
#include "fileops/LeftFiles.h"
#include "res/resource.h"
#include "settings/SettingsFile.h"
#include "tests/MemoryResults.h"

// The program's own allocations, live and at their peak: with the trace on, the
// search's growth is split into what the program holds and what Wine's controls,
// GDI and the heap's leftovers take.
namespace {
std::atomic<int64_t> g_live{0}, g_peak{0};
// Counted only with the trace on: counting costs the search a little.
bool Counting() {
    static const bool counting = std::getenv("TWINSEEK_BENCH_TRACE") != nullptr;
    return counting;
}
}  // namespace
void* operator new(size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    if (Counting()) {
        const int64_t now = g_live += static_cast<int64_t>(_msize(block));
        for (int64_t peak = g_peak; now > peak && !g_peak.compare_exchange_weak(peak, now);) {
        }
    }
    return block;
}
void operator delete(void* p) noexcept {
    if (!p) return;
    if (Counting()) g_live -= static_cast<int64_t>(_msize(p));
    std::free(p);
}
void operator delete(void* p, size_t) noexcept { operator delete(p); }

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int BenchMd5(const std::wstring& path, int runs) {
    uint64_t size = 0;
    std::wstring time;
    if (!ReadFileStatus(path, size, time)) {
        std::fprintf(stderr, "cannot read %ls\n", path.c_str());
        return 1;
    }
    std::vector<double> rates;
    std::wstring digest;
    for (int i = 0; i < runs; ++i) {
        double start = Now();
        digest = DigestOfFile(path);
        rates.push_back(static_cast<double>(size) / 1e6 / (Now() - start));
    }
    std::printf("twinseek_MBps=%.0f digest=%ls\n", Median(rates), digest.c_str());
    return 0;
}

struct Walk {
    double seconds = 0;
    int files = 0;
    int folders = 0;
    std::wstring lastFolder;
    std::map<std::wstring, uint64_t> sizes;   // every file's size, by path
    // What the listing gave, kept: memory a walk frees before a search would be
    // reused by it unseen, and its growth would look smaller than it is.
    std::map<std::wstring, WIN32_FILE_ATTRIBUTE_DATA> listed;
};

// The reference: a breadth-first listing with each file's status read into an
// ordered map, nothing else.
Walk BareWalk(const std::wstring& root) {
    Walk w;
    double start = Now();
    std::map<std::wstring, WIN32_FILE_ATTRIBUTE_DATA>& files = w.listed;
    std::deque<std::wstring> pending{root};
    while (!pending.empty()) {
        std::wstring folder = pending.front();
        pending.pop_front();
        ++w.folders;
        w.lastFolder = folder;
        WIN32_FIND_DATAW entry;
        HANDLE h = FindFirstFileW((folder + L"\\*.*").c_str(), &entry);
        if (h == INVALID_HANDLE_VALUE) continue;
        do {
            std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = folder + L"\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                pending.push_back(path);
                continue;
            }
            WIN32_FILE_ATTRIBUTE_DATA data;
            if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) files[path] = data;
        } while (FindNextFileW(h, &entry));
        FindClose(h);
    }
    w.files = static_cast<int>(files.size());
    w.seconds = Now() - start;
    for (const auto& [path, data] : files)
        w.sizes[path] = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return w;
}

// What a staged content search must read and hash of the files that share a size:
// every one of them whole up to kStagedFrom; above it each one's blocks, and whole
// only those whose blocks another file of its size shares, the files read whole
// from 1 MiB shared out over two cores.
double StagedFloor(const Walk& walk) {
    std::map<uint64_t, int> counts;
    for (const auto& [path, size] : walk.sizes) ++counts[size];
    const double start = Now();
    std::map<std::pair<uint64_t, uint64_t>, std::vector<std::wstring>> byBlocks;
    for (const auto& [path, size] : walk.sizes) {
        if (counts[size] < 2) continue;
        try {
            if (size <= kStagedFrom)
                DigestOfFile(path, nullptr, size);
            else
                byBlocks[{size, QuickSignatureOfFile(path, size)}].push_back(path);
        } catch (...) {
        }
    }
    std::vector<std::pair<std::wstring, uint64_t>> large;
    const auto whole = [](const std::wstring& path, uint64_t size) {
        try {
            DigestOfFile(path, nullptr, size);
        } catch (...) {
        }
    };
    for (const auto& [key, paths] : byBlocks) {
        if (paths.size() < 2) continue;
        for (const std::wstring& path : paths) {
            if (key.first >= 1048576)
                large.emplace_back(path, key.first);
            else
                whole(path, key.first);
        }
    }
    std::atomic<size_t> next{0};
    const auto share = [&] {
        for (size_t i; (i = next++) < large.size();) whole(large[i].first, large[i].second);
    };
    std::thread other(share);
    share();
    other.join();
    return Now() - start;
}

size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
    // Wine leaves PrivateUsage at 0; the commit charge is the same figure there.
    return pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
}

// Seconds of processor time a thread has used.
double CpuSeconds(HANDLE thread) {
    FILETIME c, e, k, u;
    if (!thread || !GetThreadTimes(thread, &c, &e, &k, &u)) return -1;
    auto v = [](FILETIME f) { return (static_cast<uint64_t>(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 1e7; };
    return v(k) + v(u);
}

// The scan on this thread, no window: seconds and processor time of the median run,
// beside the floor of the same tree (a bare walk, plus StagedFloor when digests are
// made).
int BenchScan(const std::wstring& root, int digest, int runs) {
    std::vector<double> seconds, cpu;
    int files = 0;
    size_t grown = 0;
    HANDLE self = OpenThread(THREAD_QUERY_INFORMATION, FALSE, GetCurrentThreadId());
    for (int i = 0; i < runs; ++i) {
        FindSettingStruct settings;
        settings.FileExtType = 2;
        settings.FindMD5File = digest;
        settings.Md5MaxSize = 0;
        settings.FastSearch = 1;
        CFileInfoMap map;
        std::atomic<uint32_t> flags{FIND_RUNNING};
        std::atomic<int32_t> fileCount{0};
        CFolderScan scan(settings, map, flags, fileCount, nullptr);

        const double used = CpuSeconds(self);
        const size_t before = PrivateBytes();
        const double start = Now();
        scan.PrepareSearch();
        map.Folders.AddFolder(root, true);
        // Every step takes one pending folder and nothing is requeued, so the run is
        // done once the steps have caught up with the folder list.
        for (int steps = 0; steps < map.Folders.FolderCount(); ++steps) scan.SearchNextFolder();
        seconds.push_back(Now() - start);
        cpu.push_back(CpuSeconds(self) - used);
        // The first run's growth: later runs reuse what it freed.
        if (i == 0) grown = PrivateBytes() - before;
        files = fileCount;
    }
    std::vector<double> walks;
    Walk walk;
    for (int i = 0; i < runs; ++i) {
        walk = BareWalk(root);
        walks.push_back(walk.seconds);
    }
    const double floor = Median(walks) + (digest ? StagedFloor(walk) : 0);
    const double s = Median(seconds);
    std::printf("scan files=%d digest=%d seconds=%.2f files_per_s=%.0f cpu_seconds=%.2f read_seconds=%.2f "
                "floor_ratio=%.2f bytes_per_file=%.0f\n",
                files, digest, s, files / s, Median(cpu), floor, s / floor, files ? static_cast<double>(grown) / files : 0.0);
    return 0;
}

std::wstring ControlText(HWND dialog, int id) {
    wchar_t buf[2048] = {};
    SendDlgItemMessageW(dialog, id, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buf));
    return buf;
}

// The longest a click on a check box, a scroll and a right click on the results
// keep the window busy, in milliseconds, each with the painting it causes: the
// first group's box is ticked and unticked, the tree scrolled a few pages, to its
// end and back, and the row menu opened and closed. -1: it did not come.
struct TouchTimes {
    double click = -1, scroll = -1, menu = -1;
};

TouchTimes TimeTouches(HWND main, HWND tree) {
    TouchTimes t;
    const auto sent = [](HWND to, UINT msg, WPARAM wp, LPARAM lp) {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(to, msg, wp, lp, SMTO_NORMAL, 120000, &result) != 0;
    };
    // Sent messages are answered before posted ones and painting: a posted mark
    // shows the window got through what was posted before it, the paint is asked
    // for alone.
    HWND edit = GetDlgItem(main, IDC_STATUS);
    int mark = 1000;
    const auto painted = [&] {
        const double from = Now();
        PostMessageW(edit, EM_SETLIMITTEXT, ++mark, 0);
        while (SendMessageW(edit, EM_GETLIMITTEXT, 0, 0) != static_cast<LRESULT>(mark))
            if (Now() - from > 120) return false;
        return UpdateWindow(tree) != FALSE;
    };
    const auto cursorAt = [&](POINT p) {
        ClientToScreen(tree, &p);
        SetCursorPos(p.x, p.y);
        for (POINT now{}; GetCursorPos(&now) && (now.x != p.x || now.y != p.y);) Sleep(5);
    };
    HTREEITEM first = TreeView_GetRoot(tree);
    if (!first) return t;
    RECT label{};
    if (!TreeView_GetItemRect(tree, first, &label, TRUE)) return t;
    TVHITTESTINFO hit{};
    hit.pt.y = (label.top + label.bottom) / 2;
    for (hit.pt.x = 0; hit.pt.x < label.left; ++hit.pt.x) {
        SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.flags & TVHT_ONITEMSTATEICON) break;
    }
    if (hit.pt.x < label.left) {
        cursorAt(hit.pt);
        double longest = 0;
        for (int i = 0; i < 2; ++i) {
            const double from = Now();
            const LPARAM at = MAKELPARAM(hit.pt.x, hit.pt.y);
            PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageW(tree, WM_LBUTTONUP, 0, at);
            if (!painted()) return t;
            longest = std::max(longest, Now() - from);
        }
        t.click = longest * 1000;
    }
    double longest = 0;
    for (int code : {SB_PAGEDOWN, SB_PAGEDOWN, SB_PAGEDOWN, SB_BOTTOM, SB_PAGEUP, SB_TOP}) {
        const double from = Now();
        if (!sent(tree, WM_VSCROLL, MAKEWPARAM(code, 0), 0) || !painted()) return t;
        longest = std::max(longest, Now() - from);
    }
    t.scroll = longest * 1000;
    // The menu's own loop runs on the window's thread: it is up once its window is.
    const POINT onLabel{label.left + 2, (label.top + label.bottom) / 2};
    cursorAt(onLabel);
    const double from = Now();
    const LPARAM at = MAKELPARAM(onLabel.x, onLabel.y);
    PostMessageW(tree, WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageW(tree, WM_RBUTTONUP, 0, at);
    HWND menu = nullptr;
    while (!(menu = FindWindowW(L"#32768", nullptr)) || !IsWindowVisible(menu)) {
        if (Now() - from > 120) return t;
        Sleep(1);
    }
    t.menu = (Now() - from) * 1000;
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    while (IsWindowVisible(menu) && Now() - from < 120) Sleep(5);
    sent(main, WM_NULL, 0, 0);
    return t;
}

// The real main window on the display: type the folder, press start, wait until the
// counters show every file and the status line the last folder done.
int BenchUiScan(const std::wstring& root, int digest, int similar, int commands) {
    std::vector<double> walks;
    Walk walk = BareWalk(root);   // also warms the cache
    const Walk timedWalk = BareWalk(root);   // kept until the end, as the first one
    walks.push_back(timedWalk.seconds);

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    // TWINSEEK_BENCH_PROGRAM_DIR: a program folder that outlives the run (its digest
    // cache warm for the next one).
    const char* kept = std::getenv("TWINSEEK_BENCH_PROGRAM_DIR");
    std::wstring dir = kept ? std::wstring(kept, kept + std::strlen(kept)) + L"\\"
                            : std::wstring(temp) + L"twinseek-bench-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    CreateDirectoryW((dir + L"config").c_str(), nullptr);
    // Wine hands out process ids again: a folder left by an earlier run of the same
    // id would give this one its digests.
    if (!kept) DeleteFileW((dir + L"config\\digests.cache").c_str());
    SetProgramDirOverride(dir);
    WriteSettingInt(L"FastSearch", 1);
    WriteSettingInt(L"FindMD5File", digest);
    WriteSettingInt(L"FindSimularFile", similar);
    WriteSettingInt(L"Md5MaxSize", 0);

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    OleInitialize(nullptr);
    static CTwinseekDlg dlg;   // the process ends from the driver thread
    HANDLE windowThread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, GetCurrentThreadId());
    // Every wait is bounded: a bench that cannot go on says why and ends.
    auto fail = [](const char* why) {
        std::fprintf(stderr, "ui-scan: %s\n", why);
        std::fflush(stderr);
        ExitProcess(1);
    };
    std::thread driver([&] {
        HWND main = nullptr;
        const double opened = Now();
        while (!(main = dlg.GetHwnd()) || !IsWindowVisible(main)) {
            if (Now() - opened > 60) fail("the main window did not appear within 60 s");
            Sleep(10);
        }
        Sleep(500);
        SendDlgItemMessageW(main, IDC_FOLDER, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(root.c_str()));
        const std::wstring counters = CFolderScan::CounterText(walk.folders, walk.files);
        const std::wstring done = L"文件夹搜索完成:" + walk.lastFolder;
        // How long the window takes to answer, asked every 50 ms while the search runs.
        std::atomic<bool> probing{true};
        std::atomic<double> longestAnswer{0};
        std::atomic<int> slowAnswers{0};
        std::atomic<double> start{0};
        std::thread probe([&] {
            while (probing) {
                const double asked = Now();
                DWORD_PTR result = 0;
                SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &result);
                const double took = Now() - asked;
                if (took > longestAnswer) longestAnswer = took;
                if (took > 0.1) {
                    ++slowAnswers;
                    // Where the window stalls, for whoever hunts it down.
                    if (std::getenv("TWINSEEK_BENCH_TRACE"))
                        std::fprintf(stderr, "slow answer: %.0f ms at %.1f s\n", took * 1000, asked - start);
                }
                Sleep(50);
            }
        });
        // Taken once the probe runs: its stack is the bench's, not the search's.
        Sleep(100);
        const size_t before = PrivateBytes();
        const int64_t liveBefore = g_live;
        g_peak = liveBefore;
        const double windowCpu = CpuSeconds(windowThread);
        start = Now();
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_FIND, BN_CLICKED), 0);
        while (ControlText(main, IDC_COUNT) != counters || ControlText(main, IDC_STATUS) != done) {
            if (Now() - start > 1200) {
                std::fprintf(stderr, "ui-scan: no end in sight: %ls / %ls\n", ControlText(main, IDC_COUNT).c_str(),
                             ControlText(main, IDC_STATUS).c_str());
                std::fflush(stderr);
                ExitProcess(1);
            }
            Sleep(20);
        }
        // The last texts can show while rows are still on their way: the search is
        // over once every row is (the window shows the rest in slices meanwhile).
        dlg.ResultsView.Flush();
        double seconds = Now() - start;
        const double searchAnswer = longestAnswer.exchange(0);
        const int searchSlow = slowAnswers.exchange(0);
        const size_t after = PrivateBytes();
        const int rows = static_cast<int>(dlg.ResultsView.RowCount());
        const double windowUsed = CpuSeconds(windowThread) - windowCpu, workerUsed = CpuSeconds(dlg.FindThread.get());
        if (std::getenv("TWINSEEK_BENCH_TRACE"))
            std::fprintf(stderr, "search: %.2f s, %d rows, %.0f bytes per file, longest answer %.0f ms\n", seconds, rows,
                         static_cast<double>(after > before ? after - before : 0) / walk.files, searchAnswer * 1000);
        if (std::getenv("TWINSEEK_BENCH_TRACE"))
            std::fprintf(stderr, "own allocations per file: %.0f bytes live, %.0f at the peak\n",
                         static_cast<double>(g_live - liveBefore) / walk.files,
                         static_cast<double>(g_peak - liveBefore) / walk.files);
        // The commands on every row, as the user would give them on the full results;
        // -1: no answer within two minutes (the later ones are not asked then).
        bool answering = commands != 0;
        const auto timed = [&](int command) {
            if (!answering) return -1.0;
            const double from = Now();
            DWORD_PTR result = 0;
            answering = SendMessageTimeoutW(main, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0, SMTO_NORMAL, 120000,
                                            &result) != 0;
            // A command that goes on in slices is done when the last slice is; one not
            // done within five minutes (TWINSEEK_BENCH_COMMAND_SECONDS) counts -1, and
            // the next command ends it.
            bool done = answering;
            const char* limit = std::getenv("TWINSEEK_BENCH_COMMAND_SECONDS");
            while (done && dlg.ResultsView.Expanding()) {
                if (Now() - from > (limit ? std::atof(limit) : 300)) done = false;
                Sleep(20);
            }
            if (std::getenv("TWINSEEK_BENCH_TRACE"))
                std::fprintf(stderr, "command %d: %.2f s\n", command, done ? Now() - from : -1.0);
            return done ? Now() - from : -1.0;
        };
        const TouchTimes touch = commands ? TimeTouches(main, dlg.ResultTree.GetTreeCtrl()) : TouchTimes{};
        // A selection rule over every group, then its undoing: a command each.
        const unsigned groups = dlg.FileInfoMap.Tally().groups;
        double ruleMs = -1, untickMs = -1;
        if (commands) {
            DWORD_PTR result = 0;
            double from = Now();
            if (SendMessageTimeoutW(main, WM_COMMAND, MAKEWPARAM(ID_SELECT_NEWEST, 0), 0, SMTO_NORMAL, 120000, &result))
                ruleMs = (Now() - from) * 1000;
            from = Now();
            if (SendMessageTimeoutW(main, WM_COMMAND, MAKEWPARAM(ID_SELECT_NONE, 0), 0, SMTO_NORMAL, 120000, &result))
                untickMs = (Now() - from) * 1000;
        }
        const double expandAll = timed(IDC_EXPAND_ALL);
        const double collapseAll = timed(IDC_EXPAND_ALL);
        dlg.FindFlags = FIND_STOP;   // the idle worker ends; the walk below runs alone
        const double clear = timed(IDC_CLEAR_HISTORY);
        probing = false;
        probe.join();
        walks.push_back(BareWalk(root).seconds);
        double w = Median(walks);
        // The floor: the walk, plus what a staged content search must read and hash.
        const double floor = w + (digest ? StagedFloor(walk) : 0);
        std::printf("ui-scan files=%d digest=%d similar=%d seconds=%.2f walk_seconds=%.2f ratio=%.2f rows=%d "
                    "private_bytes=%zu bytes_per_file=%.0f window_cpu=%.2f worker_cpu=%.2f read_seconds=%.2f "
                    "floor_ratio=%.2f max_answer_ms=%.0f slow_answers=%d expand_all_seconds=%.2f collapse_all_seconds=%.2f "
                    "clear_seconds=%.2f command_answer_ms=%.0f click_ms=%.0f scroll_ms=%.0f menu_ms=%.0f groups=%u "
                    "rule_ms=%.0f untick_ms=%.0f\n",
                    walk.files, digest, similar, seconds, w, seconds / w, rows, after,
                    static_cast<double>(after > before ? after - before : 0) / walk.files, windowUsed, workerUsed,
                    floor, seconds / floor, searchAnswer * 1000, searchSlow, expandAll, collapseAll, clear,
                    longestAnswer.load() * 1000, touch.click, touch.scroll, touch.menu, groups, ruleMs, untickMs);
        std::fflush(stdout);
        // TWINSEEK_BENCH_HOLD_MS keeps the window up, e.g. for a screenshot.
        if (const char* hold = std::getenv("TWINSEEK_BENCH_HOLD_MS")) Sleep(static_cast<DWORD>(std::atoi(hold)));
        ExitProcess(0);
    });
    dlg.DoModal();
    // The driver ends the process when it is done; a window that closed or never
    // opened ends the bench here instead of waiting for a driver that waits for it.
    fail("the main window ended before the search did");
    driver.join();
    return 1;
}

// Seconds of one keep-first delete for good over `groups` groups of two files of
// `kib` KiB, made afresh under `folder`.
double DeleteRun(const std::wstring& folder, int groups, int kib, int sameContent) {
    const std::string bytes(static_cast<size_t>(kib) * 1024, 'd');
    CMemoryResults results;
    CFileInfoMap map;
    map.SetCriteria(2);
    for (int g = 0; g < groups; ++g) {
        for (const wchar_t* side : {L"a", L"b"}) {
            const std::wstring dir = folder + L"\\" + side;
            CreateDirectoryW(dir.c_str(), nullptr);
            SFileInfo record;
            record.strName = L"f" + std::to_wstring(g) + L".bin";
            record.strPath = dir + L"\\" + record.strName;
            HANDLE h = CreateFileW(record.strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD written = 0;
            WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            CloseHandle(h);
            ReadFileStatus(record.strPath, record.nSize, record.strTime);
            results.AddFound(map, record);
        }
    }
    std::atomic<int32_t> closing{0};
    CLeftFiles left;
    DeleteSettingStruct setting;
    setting.HowToDel = kDeleteAllButFirst;
    setting.DelDirect = 1;
    setting.DelSameContent = sameContent;
    const double start = Now();
    CDeletePass({results, map, [](const std::wstring&) {}, closing, &left}, setting, nullptr).DeleteFiles();
    const double seconds = Now() - start;
    if (!left.Files().empty()) std::fprintf(stderr, "delete: %zu files left\n", left.Files().size());
    for (int g = 0; g < groups; ++g) DeleteFileW((folder + L"\\a\\f" + std::to_wstring(g) + L".bin").c_str());
    return seconds;
}

int BenchDelete(const std::wstring& folder, int groups, int kib, int runs) {
    std::vector<double> off, on;
    for (int i = 0; i < runs; ++i) {
        off.push_back(DeleteRun(folder, groups, kib, 0));
        on.push_back(DeleteRun(folder, groups, kib, 1));
    }
    const double a = Median(off), b = Median(on);
    std::printf("delete files=%d kib=%d check_off_seconds=%.2f check_on_seconds=%.2f ratio=%.2f\n", groups, kib, a,
                b, b / a);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"md5" && argc > 2) return BenchMd5(argv[2], argc > 3 ? _wtoi(argv[3]) : 5);
    if (mode == L"scan" && argc > 3)
        return BenchScan(argv[2], _wtoi(argv[3]), argc > 4 ? _wtoi(argv[4]) : 3);
    if (mode == L"ui-scan" && argc > 3)
        return BenchUiScan(argv[2], _wtoi(argv[3]), argc > 4 ? _wtoi(argv[4]) : 0, argc > 5 ? _wtoi(argv[5]) : 1);
    if (mode == L"delete" && argc > 4)
        return BenchDelete(argv[2], _wtoi(argv[3]), _wtoi(argv[4]), argc > 5 ? _wtoi(argv[5]) : 3);
    std::fprintf(stderr, "usage: twinseek_bench md5 <file> [runs] | scan <folder> <0|1> [runs]"
                         " | ui-scan <folder> <0|1> [similar] [commands] | delete <folder> <groups> <KiB> [runs]\n");
    return 2;
}
