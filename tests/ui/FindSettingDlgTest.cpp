#include "app/FindSettingDlg.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "res/resource.h"
#include "settings/SettingsFile.h"
#include "tests/TempFolder.h"
#include "tests/ui/UiDriver.h"

namespace {

using Texts = std::vector<std::wstring>;

class FindSettingDlg : public ::testing::Test {
protected:
    void SetUp() override {
        SetProgramDirOverride(dir.Path() + L"\\");
        CreateDirectoryW((dir.Path() + L"\\config").c_str(), nullptr);
    }
    void TearDown() override { SetProgramDirOverride(L""); }

    std::wstring Ini() const { return dir.Path() + L"\\config\\Setting.ini"; }
    std::wstring ExtFile() const { return dir.Path() + L"\\config\\ext.list"; }
    void WriteIni(const std::string& text) const { dir.Write(L"config\\Setting.ini", text); }
    void WriteExtFile(const std::string& text) const { dir.Write(L"config\\ext.list", text); }
    bool ExtFileExists() const { return GetFileAttributesW(ExtFile().c_str()) != INVALID_FILE_ATTRIBUTES; }
    // A key as stored, or "missing".
    std::wstring Stored(const wchar_t* key) const {
        wchar_t buf[64] = {};
        GetPrivateProfileStringW(L"TWINSEEK", key, L"missing", buf, 64, Ini().c_str());
        return buf;
    }

    // Opens the dialog on `record`, runs `steps` on a driver thread, returns DoModal's result.
    INT_PTR Run(FindSettingStruct& record, const std::function<void(HWND)>& steps,
                std::recursive_mutex* lock = nullptr) {
        INT_PTR result = -1;
        ui::RunModal(
            [&] {
                CFindSettingDlg dlg(record, lock);
                result = dlg.DoModal();
            },
            [&] {
                HWND box = ui::WaitForTopWindow(L"查找设置");
                ASSERT_NE(nullptr, box);
                steps(box);
            });
        return result;
    }

    TempFolder dir;
};

HWND List(HWND box) { return GetDlgItem(box, IDC_SET_EXT_LIST); }

Texts Column(HWND box, int column) { return ui::ListColumn(List(box), column); }

Texts Entries(const ExtensionList& list) { return Texts(list.begin(), list.end()); }

// Types an extension and presses "添  加"; returns once the press is handled.
void AddExtension(HWND box, const std::wstring& text) {
    ui::SetItemText(box, IDC_SET_EXT_TEXT, text);
    ui::PressButtonNow(box, IDC_SET_ADD);
}

TEST_F(FindSettingDlg, ShowsTheLoadedRecordWithEveryControl) {
    WriteIni("[TWINSEEK]\r\nFindSizeFile=1\r\nFindMD5File=1\r\nFileExtType=1\r\nMd5MaxSize=20\r\nExpandItem=1\r\n");
    WriteExtFile("doc\nmp3\nxls\n");
    FindSettingStruct record;
    record.ExtList.Add(L"mp3");
    record.ExtList.Add(L"avi");
    INT_PTR result = Run(record, [&](HWND box) {
        const std::pair<int, const wchar_t*> texts[] = {
            {IDC_SET_SIMILAR, L"查找名称相似的文件"}, {IDC_SET_SIZE, L"查找大小相同的文件"},
            {IDC_SET_TIME, L"查找修改时间相同的文件"}, {IDC_SET_MD5, L"查找MD5相同的文件"},
            {IDC_SET_EXT_ONLY, L"只查列表中扩展名"}, {IDC_SET_EXT_EXCLUDE, L"排除列表中扩展名"},
            {IDC_SET_EXT_IGNORE, L"忽略扩展名"}, {IDC_SET_EXPAND, L"查找时展开文件"},
            {IDC_SET_ADD, L"添  加"}, {IDC_SET_REMOVE, L"删  除"}, {IDOK, L"确定"}, {IDCANCEL, L"取消"},
            {IDC_SET_EXT_TEXT, L""}, {IDC_SET_MD5_MAX, L"20"},
        };
        for (const auto& [id, text] : texts) EXPECT_EQ(text, ui::ItemText(box, id)) << id;
        // The static labels and group boxes, in any order.
        Texts statics;
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (GetDlgCtrlID(c) == -1 || GetDlgCtrlID(c) == 0xFFFF) statics.push_back(ui::Text(c));
        for (const wchar_t* label : {L"文件", L"文件扩展名", L"扩展名：", L"计算文件MD5时", L"M以上文件忽略"})
            EXPECT_NE(statics.end(), std::find(statics.begin(), statics.end(), label)) << label;

        EXPECT_FALSE(ui::Ticked(box, IDC_SET_SIMILAR));
        EXPECT_TRUE(ui::Ticked(box, IDC_SET_SIZE));
        EXPECT_FALSE(ui::Ticked(box, IDC_SET_TIME));
        EXPECT_TRUE(ui::Ticked(box, IDC_SET_MD5));
        EXPECT_TRUE(ui::Ticked(box, IDC_SET_EXPAND));
        EXPECT_FALSE(ui::Ticked(box, IDC_SET_EXT_ONLY));
        EXPECT_TRUE(ui::Ticked(box, IDC_SET_EXT_EXCLUDE));
        EXPECT_FALSE(ui::Ticked(box, IDC_SET_EXT_IGNORE));

        HWND list = List(box);
        EXPECT_EQ(DWORD(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT), ListView_GetExtendedListViewStyle(list));
        EXPECT_TRUE(GetWindowLongW(list, GWL_STYLE) & LVS_SINGLESEL);
        EXPECT_EQ(LVS_REPORT, GetWindowLongW(list, GWL_STYLE) & LVS_TYPEMASK);
        wchar_t name[64] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_WIDTH;
        item.pszText = name;
        item.cchTextMax = 64;
        Header_GetItem(ListView_GetHeader(list), 1, &item);
        EXPECT_STREQ(L" 文件扩展名", name);
        EXPECT_EQ(150, item.cxy);
        // The list in memory first, then what the file adds.
        EXPECT_EQ((Texts{L"01", L"02", L"03", L"04"}), Column(box, 0));
        EXPECT_EQ((Texts{L"mp3", L"avi", L"doc", L"xls"}), Column(box, 1));
        ui::PressButton(box, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(1, record.FindSizeFile);
    EXPECT_EQ(20, record.Md5MaxSize);
}

TEST_F(FindSettingDlg, Md5CriterionNeedsAYes) {
    FindSettingStruct record;
    Run(record, [&](HWND box) {
        const wchar_t question[] = L"计算文件MD5会导致查找速度极其的慢，是否要比较文件MD5？";
        HWND md5 = GetDlgItem(box, IDC_SET_MD5);
        PostMessageW(md5, BM_CLICK, 0, 0);
        HWND ask = ui::WaitForMessageBox(question);
        ASSERT_NE(nullptr, ask);
        EXPECT_NE(nullptr, GetDlgItem(ask, IDYES));
        EXPECT_NE(nullptr, GetDlgItem(ask, IDNO));
        ui::PressButton(ask, IDNO);
        ASSERT_TRUE(ui::WaitForClose(ask));
        EXPECT_TRUE(ui::WaitUntil([&] { return !ui::Ticked(box, IDC_SET_MD5); }));
        SendMessageW(box, WM_NULL, 0, 0);
        EXPECT_EQ(0, record.FindMD5File);

        PostMessageW(md5, BM_CLICK, 0, 0);
        ask = ui::WaitForMessageBox(question);
        ASSERT_NE(nullptr, ask);
        ui::PressButton(ask, IDYES);
        ASSERT_TRUE(ui::WaitForClose(ask));
        SendMessageW(box, WM_NULL, 0, 0);
        EXPECT_TRUE(ui::Ticked(box, IDC_SET_MD5));
        EXPECT_EQ(1, record.FindMD5File);

        // Unticking asks nothing.
        PostMessageW(md5, BM_CLICK, 0, 0);
        EXPECT_TRUE(ui::WaitUntil([&] { return !ui::Ticked(box, IDC_SET_MD5); }));
        EXPECT_EQ(nullptr, ui::WaitForMessageBox(question, 300));
        ui::PressButton(box, IDCANCEL);
    });
    EXPECT_EQ(0, record.FindMD5File);
}

TEST_F(FindSettingDlg, AddsAndDeletesExtensions) {
    FindSettingStruct record;
    Run(record, [&](HWND box) {
        AddExtension(box, L"mp3");
        AddExtension(box, L"mp3");
        EXPECT_EQ((Texts{L"mp3"}), Column(box, 1));
        AddExtension(box, L"MP3");
        AddExtension(box, L"");
        AddExtension(box, L"avi");
        EXPECT_EQ((Texts{L"01", L"02", L"03"}), Column(box, 0));
        EXPECT_EQ((Texts{L"mp3", L"MP3", L"avi"}), Column(box, 1));
        // Taken exactly as typed, and the box keeps its text.
        AddExtension(box, L" .Doc");
        EXPECT_EQ(L"04", Column(box, 0).back());
        EXPECT_EQ(L" .Doc", Column(box, 1).back());
        EXPECT_EQ(L" .Doc", ui::ItemText(box, IDC_SET_EXT_TEXT));

        // Delete the ticked rows 02 and 04.
        ListView_SetCheckState(List(box), 1, TRUE);
        ListView_SetCheckState(List(box), 3, TRUE);
        ui::PressButtonNow(box, IDC_SET_REMOVE);
        EXPECT_EQ((Texts{L"01", L"03"}), Column(box, 0));
        EXPECT_EQ((Texts{L"mp3", L"avi"}), Column(box, 1));
        EXPECT_EQ((Texts{L"mp3", L"avi"}), Entries(record.ExtList));
        // Numbers follow the list's length, so they can repeat.
        AddExtension(box, L"wav");
        AddExtension(box, L"ogg");
        EXPECT_EQ((Texts{L"01", L"03", L"03", L"04"}), Column(box, 0));
        // Nothing ticked: nothing goes.
        ui::PressButtonNow(box, IDC_SET_REMOVE);
        EXPECT_EQ(4, ListView_GetItemCount(List(box)));
        ui::PressButton(box, IDCANCEL);
    });
    EXPECT_EQ((Texts{L"mp3", L"avi", L"wav", L"ogg"}), Entries(record.ExtList));
}

TEST_F(FindSettingDlg, NumbersAfterDeletingTheSecondOfThree) {
    WriteExtFile("a\nb\nc\n");
    FindSettingStruct record;
    Run(record, [&](HWND box) {
        AddExtension(box, L"d");
        EXPECT_EQ((Texts{L"01", L"02", L"03", L"04"}), Column(box, 0));
        ListView_SetCheckState(List(box), 3, TRUE);
        ui::PressButtonNow(box, IDC_SET_REMOVE);
        ListView_SetCheckState(List(box), 1, TRUE);
        ui::PressButtonNow(box, IDC_SET_REMOVE);
        AddExtension(box, L"e");
        EXPECT_EQ((Texts{L"01", L"03", L"03"}), Column(box, 0));
        ui::PressButton(box, IDCANCEL);
    });
}

TEST_F(FindSettingDlg, SortingByNumberLeavesTheListOrder) {
    WriteExtFile("c\na\nb\n");
    FindSettingStruct record;
    Run(record, [&](HWND box) {
        // Reverse the rows first, so both sorts must move them.
        ui::ClickHeader(List(box), 1);
        EXPECT_EQ((Texts{L"02", L"03", L"01"}), Column(box, 0));
        ui::ClickHeader(List(box), 0);
        EXPECT_EQ((Texts{L"01", L"02", L"03"}), Column(box, 0));
        EXPECT_EQ((Texts{L"c", L"a", L"b"}), Column(box, 1));
        ui::ClickHeader(List(box), 0);
        EXPECT_EQ((Texts{L"03", L"02", L"01"}), Column(box, 0));
        EXPECT_EQ((Texts{L"b", L"a", L"c"}), Column(box, 1));
        // Deleting works on the sorted rows.
        ListView_SetCheckState(List(box), 0, TRUE);
        ui::PressButtonNow(box, IDC_SET_REMOVE);
        ui::PressButton(box, IDOK);
    });
    EXPECT_EQ((Texts{L"c", L"a"}), Entries(record.ExtList));
    EXPECT_EQ("c\r\na\r\n", ReadFileBytes(ExtFile()));
}

TEST_F(FindSettingDlg, CancelKeepsTheFileButNotTheMemory) {
    WriteIni("[TWINSEEK]\r\nFindSizeFile=0\r\n");
    WriteExtFile("doc\n");
    FindSettingStruct record;
    INT_PTR result = Run(record, [&](HWND box) {
        AddExtension(box, L"mp3");
        ui::SetTick(box, IDC_SET_SIZE, true);
        AddExtension(box, L"mp3");  // exchanges the tick into the record
        ui::PressButton(box, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ("doc\n", ReadFileBytes(ExtFile()));
    EXPECT_EQ(L"0", Stored(L"FindSizeFile"));
    EXPECT_EQ((Texts{L"doc", L"mp3"}), Entries(record.ExtList));
    EXPECT_EQ(1, record.FindSizeFile);

    // The next opening reloads the numbers from the file and keeps the added entry.
    Run(record, [&](HWND box) {
        EXPECT_FALSE(ui::Ticked(box, IDC_SET_SIZE));
        EXPECT_EQ((Texts{L"doc", L"mp3"}), Column(box, 1));
        ui::PressButton(box, IDCANCEL);
    });
}

TEST_F(FindSettingDlg, OkSavesEveryKeyAndTheList) {
    WriteIni("[TWINSEEK]\r\nFindSimularFile=1\r\nFindSizeFile=1\r\nFindTimeFile=1\r\nFindMD5File=1\r\n"
             "ExpandItem=1\r\nFileExtType=2\r\nMd5MaxSize=30\r\n");
    FindSettingStruct record;
    INT_PTR result = Run(record, [&](HWND box) {
        for (int id : {IDC_SET_SIMILAR, IDC_SET_SIZE, IDC_SET_TIME, IDC_SET_MD5, IDC_SET_EXPAND})
            ui::SetTick(box, id, false);
        ui::SetTick(box, IDC_SET_EXT_IGNORE, false);
        ui::SetTick(box, IDC_SET_EXT_EXCLUDE, true);
        ui::SetItemText(box, IDC_SET_MD5_MAX, L"0");
        AddExtension(box, L"mp3");
        ui::PressButton(box, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    for (const wchar_t* key : {L"FindSimularFile", L"FindSizeFile", L"FindTimeFile", L"FindMD5File",
                               L"ExpandItem", L"Md5MaxSize"})
        EXPECT_EQ(L"0", Stored(key)) << key;
    EXPECT_EQ(L"1", Stored(L"FileExtType"));
    EXPECT_EQ("mp3\r\n", ReadFileBytes(ExtFile()));
    EXPECT_EQ(0, record.FindSizeFile);
    EXPECT_EQ(1, record.FileExtType);
}

TEST_F(FindSettingDlg, OkOnAFreshFolderWritesEveryKey) {
    FindSettingStruct record;
    Run(record, [&](HWND box) {
        ui::SetTick(box, IDC_SET_TIME, true);
        ui::PressButton(box, IDOK);
    });
    EXPECT_EQ(L"1", Stored(L"FindTimeFile"));
    EXPECT_EQ(L"10", Stored(L"Md5MaxSize"));
    for (const wchar_t* key : {L"FindSimularFile", L"FindSizeFile", L"FindMD5File", L"ExpandItem", L"FileExtType"})
        EXPECT_EQ(L"0", Stored(key)) << key;
    // An empty list leaves no list file.
    EXPECT_FALSE(ExtFileExists());
}

TEST_F(FindSettingDlg, ANonIntegerSizeKeepsTheDialogOpen) {
    FindSettingStruct record;
    INT_PTR result = Run(record, [&](HWND box) {
        ui::SetItemText(box, IDC_SET_MD5_MAX, L"12x");
        ui::SetTick(box, IDC_SET_EXPAND, true);
        // The extension text comes before the size box: adding still works.
        ui::SetItemText(box, IDC_SET_EXT_TEXT, L"mp3");
        ui::PressButton(box, IDC_SET_ADD);
        HWND message = ui::WaitForMessageBox(L"Enter an integer.");
        ASSERT_NE(nullptr, message);
        ui::PressButton(message, IDOK);
        ASSERT_TRUE(ui::WaitForClose(message));
        SendMessageW(box, WM_NULL, 0, 0);
        EXPECT_EQ((Texts{L"mp3"}), Column(box, 1));

        // OK: the message for each of its two exchanges, and the dialog stays.
        ui::PressButton(box, IDOK);
        for (int i = 0; i < 2; ++i) {
            message = ui::WaitForMessageBox(L"Enter an integer.");
            ASSERT_NE(nullptr, message) << i;
            ui::PressButton(message, IDOK);
            ASSERT_TRUE(ui::WaitForClose(message));
        }
        SendMessageW(box, WM_NULL, 0, 0);
        EXPECT_TRUE(IsWindowVisible(box));
        EXPECT_EQ(nullptr, ui::WaitForMessageBox(L"Enter an integer.", 300));

        ui::SetItemText(box, IDC_SET_MD5_MAX, L" 7 ");
        ui::PressButton(box, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(7, record.Md5MaxSize);
    EXPECT_EQ(L"7", Stored(L"Md5MaxSize"));
    EXPECT_EQ(1, record.ExpandItem);
}

TEST_F(FindSettingDlg, ChangesWaitForTheDataLock) {
    // A search reads the record under this lock while the dialog is open.
    std::recursive_mutex lock;
    FindSettingStruct record;
    Run(
        record,
        [&](HWND box) {
            std::unique_lock<std::recursive_mutex> reader(lock);
            ui::SetItemText(box, IDC_SET_EXT_TEXT, L"mp3");
            ui::SetTick(box, IDC_SET_SIZE, true);
            ui::PressButton(box, IDC_SET_ADD);
            Sleep(300);
            EXPECT_TRUE(record.ExtList.empty());
            EXPECT_EQ(0, record.FindSizeFile);
            reader.unlock();
            EXPECT_TRUE(ui::WaitUntil([&] {
                std::lock_guard<std::recursive_mutex> again(lock);
                return record.ExtList.Contains(L"mp3") && record.FindSizeFile == 1;
            }));
            ui::PressButton(box, IDCANCEL);
        },
        &lock);
}

}  // namespace

TEST_F(FindSettingDlg, AHundredThousandExtensionsLoadAndShowInTheirOrder) {
    const int n = 100000;
    std::string lines;
    for (int i = 0; i < n; ++i) lines += "e" + std::to_string(i) + (i % 7 == 0 ? "  \r\n" : "\n");
    lines += "e5\n";   // once only
    WriteExtFile(lines);
    FindSettingStruct record;
    ULONGLONG start = GetTickCount64();
    record.Load();
    const ULONGLONG loaded = GetTickCount64() - start;
    ASSERT_EQ(static_cast<size_t>(n), record.ExtList.size());
    EXPECT_EQ(L"e0", record.ExtList[0]);
    EXPECT_EQ(L"e99999", record.ExtList[n - 1]);
    start = GetTickCount64();
    ULONGLONG shown = 0;
    Run(record, [&](HWND box) {
        shown = GetTickCount64() - start;
        HWND list = List(box);
        ASSERT_EQ(n, ListView_GetItemCount(list));
        wchar_t text[32];
        ListView_GetItemText(list, n - 1, 1, text, 32);
        EXPECT_STREQ(L"e99999", text);
        ListView_GetItemText(list, n - 1, 0, text, 32);
        EXPECT_STREQ(L"100000", text);
        ui::PressButton(box, IDCANCEL);
    });
    std::printf("ext.list of %d lines: loaded in %llu ms, dialog shown after %llu ms\n", n, loaded, shown);
}
