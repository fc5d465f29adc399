#include "fileops/ComparePass.h"

#include <windows.h>

#include "settings/SettingsFile.h"
#include "view/IResults.h"
#include "view/ResultColumns.h"
#include "win/Format.h"
#include "win/Handles.h"
#include "win/MessageBox.h"

std::vector<std::wstring> CComparePass::TickedPaths() const {
    HTREEITEM row = nullptr;
    if (HTREEITEM selected = results_.Selected()) {
        row = results_.FirstChild(selected);
        if (!row) {
            HTREEITEM parent = results_.Parent(selected);
            row = parent ? results_.FirstChild(parent) : results_.FirstGroup();
        }
    } else {
        row = results_.FirstGroup();
    }
    std::vector<std::wstring> paths;
    for (; row; row = results_.NextSibling(row))
        if (results_.Ticked(row)) paths.push_back(results_.Text(row, kPathColumn));
    return paths;
}

std::wstring CComparePass::CommandLine(const std::wstring& program, const std::vector<std::wstring>& paths) {
    std::wstring line = L" " + program;
    for (const std::wstring& path : paths) line += L" \"" + path + L"\"";
    return line;
}

void CComparePass::OnCompareFiles() {
    const std::vector<std::wstring> paths = TickedPaths();
    if (paths.size() != 2) {
        win::AppMessageBox(L"只能比较同类的两个文件", MB_OK);
        return;
    }
    const std::wstring program = win::Format(L"%sWinMergeU.exe", GetProgramDir().c_str());
    // Built to the length the paths need; CreateProcessW may write into the buffer.
    const std::wstring line = CommandLine(program, paths);
    std::vector<wchar_t> commandLine(line.begin(), line.end());
    commandLine.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &process))
        return;
    win::UniqueHandle started(process.hProcess), thread(process.hThread);
    WaitForSingleObject(started.get(), 1000);
}
