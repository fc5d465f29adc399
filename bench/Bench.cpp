// Benchmark driver, run by tools/bench.sh:
//   twinseek_bench md5 <file> [runs]          median MB/s of DigestOfFile
//   twinseek_bench scan <folder> <0|1> [runs]  the scan at full speed, digest off or on
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "app/FindFlags.h"
#include "engine/FileDigest.h"
#include "engine/FileStatus.h"
#include "engine/FolderScan.h"

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

int BenchScan(const std::wstring& root, int digest, int runs) {
    std::vector<double> seconds;
    int files = 0;
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

        double start = Now();
        scan.PrepareSearch();
        map.Folders.AddFolder(root, true);
        // Every step takes one pending folder and nothing is requeued, so the run is
        // done once the steps have caught up with the folder list.
        for (int steps = 0; steps < map.Folders.FolderCount(); ++steps) scan.SearchNextFolder();
        seconds.push_back(Now() - start);
        files = fileCount;
    }
    double s = Median(seconds);
    std::printf("scan files=%d digest=%d seconds=%.2f files_per_s=%.0f\n", files, digest, s, files / s);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"md5" && argc > 2) return BenchMd5(argv[2], argc > 3 ? _wtoi(argv[3]) : 5);
    if (mode == L"scan" && argc > 3)
        return BenchScan(argv[2], _wtoi(argv[3]), argc > 4 ? _wtoi(argv[4]) : 3);
    std::fprintf(stderr, "usage: twinseek_bench md5 <file> [runs] | scan <folder> <0|1> [runs]\n");
    return 2;
}
