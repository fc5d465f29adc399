// The export command in the real main window, answering the real save dialog.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "tests/TempFolder.h"
#include "tests/ui/FoundFiles.h"
#include "tests/ui/ResultsDriver.h"
#include "tests/ui/StatusRecorder.h"
#include "tests/ui/UiDriver.h"

namespace {

// The save dialog of this process once it is up: a dialog with a file name box.
HWND WaitForSaveDialog(HWND main) {
    return ui::WaitForDialog([](HWND h) { return GetDlgItem(h, 1148) || GetDlgItem(h, 1152); }, {main}, 10000);
}

// Starts the export and types `path` into its save dialog; returns once it has closed.
void TypeExportName(HWND main, const std::wstring& path) {
    ui::PostCommand(main, IDC_EXPORT);
    HWND save = WaitForSaveDialog(main);
    ASSERT_NE(nullptr, save);
    ui::SetItemText(save, GetDlgItem(save, 1148) ? 1148 : 1152, path);
    ui::PressButton(save, IDOK);
    ASSERT_TRUE(ui::WaitForClose(save));
}

// The same, then waits until the list is written.
void ExportAs(HWND main, const std::wstring& path) {
    TypeExportName(main, path);
    EXPECT_TRUE(ui::WaitForStatus(main, L"保存完成"));
    ui::Barrier(main);
}

}  // namespace

TEST(ExportList, TwoGroupsGiveFourLinesInTheAnsiCodePage) {
    ASSERT_EQ(936u, GetACP());
    TempFolder dir;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        const std::wstring a1 = dir.Path() + L"\\一\\报告.txt", a2 = dir.Path() + L"\\二\\报告.txt";
        const std::wstring b1 = dir.Path() + L"\\一\\b.bin", b2 = dir.Path() + L"\\二\\b.bin";
        for (auto& p : {a1, b1, a2, b2}) ui::AddFound(run.dlg, p);
        ASSERT_EQ(2u, ui::Roots(run.tree()).size());

        // No extension typed: ".txt" is added.
        ui::StatusRecorder status(main);
        ExportAs(main, dir.Path() + L"\\list");
        EXPECT_EQ((std::vector<std::wstring>{L"正在保存:" + a1, L"正在保存:" + a2, L"正在保存:" + b1,
                                             L"正在保存:" + b2, L"保存完成"}),
                  status.Texts());
        EXPECT_FALSE(Exists(dir.Path() + L"\\list"));
        const std::string bytes = ReadFileBytes(dir.Path() + L"\\list.txt");
        auto ansi = [](const std::wstring& s) {
            std::string out(s.size() * 2, '\0');
            int n = WideCharToMultiByte(936, 0, s.c_str(), static_cast<int>(s.size()), out.data(),
                                        static_cast<int>(out.size()), nullptr, nullptr);
            out.resize(n);
            return out;
        };
        const std::string expected = ansi(L"报告.txt\t" + a1 + L"\r\n" + L"报告.txt\t" + a2 + L"\r\n" +
                                          L"b.bin\t" + b1 + L"\r\n" + L"b.bin\t" + b2 + L"\r\n");
        EXPECT_EQ(expected, bytes);
        // No byte-order mark, no header: the first bytes are the GBK name.
        EXPECT_EQ("\xb1\xa8\xb8\xe6", bytes.substr(0, 4));
    });
}

TEST(ExportList, GroupsNeverOpenedListTheirFilesInOrder) {
    TempFolder dir;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        const std::wstring a1 = dir.Path() + L"\\1\\a.txt", a2 = dir.Path() + L"\\2\\a.txt",
                           a3 = dir.Path() + L"\\3\\a.txt";
        for (auto& p : {a1, a2, a3}) ui::AddFound(run.dlg, ui::FoundRecord(p), false);
        ASSERT_EQ(1u, static_cast<size_t>(SendMessageW(run.tree(), TVM_GETCOUNT, 0, 0)));
        ExportAs(main, dir.Path() + L"\\late.txt");
        std::wstring lines;
        for (auto& p : {a1, a2, a3}) lines += L"a.txt\t" + p + L"\r\n";
        std::string expected(lines.size() * 2, '\0');
        expected.resize(WideCharToMultiByte(CP_ACP, 0, lines.c_str(), static_cast<int>(lines.size()), expected.data(),
                                            static_cast<int>(expected.size()), nullptr, nullptr));
        EXPECT_EQ(expected, ReadFileBytes(dir.Path() + L"\\late.txt"));
    });
}

TEST(ExportList, NameWithExtensionStaysAndEmptyResultsGiveEmptyFile) {
    TempFolder dir;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        ExportAs(main, dir.Path() + L"\\list.csv");
        EXPECT_TRUE(Exists(dir.Path() + L"\\list.csv"));
        EXPECT_FALSE(Exists(dir.Path() + L"\\list.csv.txt"));
        EXPECT_EQ("", ReadFileBytes(dir.Path() + L"\\list.csv"));

        // Cancel writes nothing and leaves the status line alone.
        SetWindowTextW(GetDlgItem(main, IDC_STATUS), L"");
        ui::PostCommand(main, IDC_EXPORT);
        HWND save = WaitForSaveDialog(main);
        ASSERT_NE(nullptr, save);
        ui::PressButton(save, IDCANCEL);
        ASSERT_TRUE(ui::WaitForClose(save));
        ui::Barrier(main);
        EXPECT_EQ(L"", ui::StatusText(main));
    });
}


TEST(ExportListSafety, ANameThatGetsTxtAsksBeforeReplacingThatFile) {
    TempFolder dir;
    const std::wstring existing = dir.Write(L"list.txt", "keep me");
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        for (auto& p : {dir.Path() + L"\\a\\x.txt", dir.Path() + L"\\b\\x.txt"}) ui::AddFound(run.dlg, p);
        const std::wstring question = existing + L" 已存在。\r\n要替换它吗？";
        SetWindowTextW(GetDlgItem(main, IDC_STATUS), L"");
        TypeExportName(main, dir.Path() + L"\\list");
        ASSERT_TRUE(ui::AnswerMessageBox(question, IDNO));
        ui::Barrier(main);
        EXPECT_EQ("keep me", ReadFileBytes(existing));
        EXPECT_EQ(L"", ui::StatusText(main));

        TypeExportName(main, dir.Path() + L"\\list");
        ASSERT_TRUE(ui::AnswerMessageBox(question, IDYES));
        EXPECT_TRUE(ui::WaitForStatus(main, L"保存完成"));
        EXPECT_EQ(0u, ReadFileBytes(existing).find("x.txt\t"));
    });
}

TEST(ExportListSafety, AFileThatCannotBeWrittenEndsWithAFailure) {
    TempFolder dir;
    const std::wstring locked = dir.Write(L"locked.txt", "old");
    // Open elsewhere with no sharing: it cannot be written.
    HANDLE lock = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        for (auto& p : {dir.Path() + L"\\a\\x.txt", dir.Path() + L"\\b\\x.txt"}) ui::AddFound(run.dlg, p);
        TypeExportName(main, dir.Path() + L"\\locked");
        ASSERT_TRUE(ui::AnswerMessageBox(locked + L" 已存在。\r\n要替换它吗？", IDYES));
        EXPECT_TRUE(ui::WaitForStatus(main, L"保存失败:" + locked));
    });
    CloseHandle(lock);
    EXPECT_EQ("old", ReadFileBytes(locked));
}

TEST(ExportListSafety, ANameOutsideTheCodePageIsWrittenAsUtf8AndTheCurrentFolderStays) {
    ASSERT_EQ(936u, GetACP());
    TempFolder dir;
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        // Hangul and an emoji have no GBK code: as "?" they would be wildcards.
        const std::wstring name = L"한글\U0001F600.txt";
        const std::wstring a = dir.Path() + L"\\一\\" + name, b = dir.Path() + L"\\二\\" + name;
        for (auto& p : {a, b}) ui::AddFound(run.dlg, p);
        const std::wstring folder = dir.MakeDir(L"out");
        ExportAs(main, folder + L"\\list.txt");
        const std::string bytes = ReadFileBytes(folder + L"\\list.txt");
        ASSERT_GE(bytes.size(), 3u);
        EXPECT_EQ("\xEF\xBB\xBF", bytes.substr(0, 3));
        const std::string text = bytes.substr(3);
        std::wstring wide(text.size(), L'\0');
        wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                        static_cast<int>(wide.size())));
        EXPECT_EQ(name + L"\t" + a + L"\r\n" + name + L"\t" + b + L"\r\n", wide);
    });
    // The save dialog went to another folder; the program's current folder did not.
    wchar_t after[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_EQ(std::wstring(before), std::wstring(after));
}
