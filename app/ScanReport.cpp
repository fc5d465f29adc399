// What the scan reports, handed to the results view with the scan's pace, and the
// window messages that view waits for.
#include "app/TwinseekDlg.h"

void CTwinseekDlg::Status(const std::wstring& text) { ResultsView.Status(text, false, Scan.Fast()); }

void CTwinseekDlg::FolderDone(const std::wstring& text) { ResultsView.Status(text, true, Scan.Fast()); }

void CTwinseekDlg::Counters(int folderCount, int fileCount) {
    ResultsView.Counters(CFolderScan::CounterText(folderCount, fileCount), Scan.Fast());
}

void CTwinseekDlg::GroupReachedTwo(const SFileInfo& first, const SFileInfo& second, bool expand, unsigned clears) {
    ResultsView.GroupReachedTwo(first, second, expand, clears, Scan.Fast());
}

void CTwinseekDlg::GroupGrew(const SFileInfo& first, const SFileInfo& record, unsigned clears) {
    ResultsView.GroupGrew(first, record, clears, Scan.Fast());
}

void CTwinseekDlg::RedrawResults() { ResultsView.RedrawResults(); }

void CTwinseekDlg::Idle() { ResultsView.Flush(); }

LRESULT CTwinseekDlg::OnScanTick(WPARAM wp, LPARAM) {
    if (wp == kScanTickTimer) ResultsView.OnTick();
    if (wp == kRowStepTimer) ResultsView.OnRowStep();
    return 0;
}

LRESULT CTwinseekDlg::OnScanFlush(WPARAM, LPARAM) { return ResultsView.OnFlush(); }

LRESULT CTwinseekDlg::OnScanRows(WPARAM, LPARAM lp) {
    ResultsView.OnRows(*reinterpret_cast<const CScanFeed::GroupEvent*>(lp));
    return 0;
}
