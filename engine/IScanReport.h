#pragma once
#include <string>

#include "engine/FileInfo.h"

// What the scan tells the window, called on the worker thread with no lock held.
class IScanReport {
public:
    virtual ~IScanReport() = default;

    // One status line text, already formatted.
    virtual void Status(const std::wstring& text) = 0;
    // The text that ends a folder's listing: a report that drops status texts to
    // keep up must not drop it for a later passing text, so a run ends on it.
    virtual void FolderDone(const std::wstring& text) { Status(text); }
    // After each file added: entries in the folder list and files of this run
    // (shown with CFolderScan::CounterText).
    virtual void Counters(int folderCount, int fileCount) = 0;
    // A group has just reached two files: its group row and both file rows; the
    // group row is expanded when expand is set (ExpandItem at the time of the file).
    // `clears` is the map's ClearGroups count when the file was added: the rows are
    // made only if the groups have not been cleared since.
    virtual void GroupReachedTwo(const SFileInfo& first, const SFileInfo& second, bool expand,
                                 unsigned clears) = 0;
    // A group of two or more got one more file (redraw off around the row insert).
    virtual void GroupGrew(const SFileInfo& first, const SFileInfo& record, unsigned clears) = 0;
    // Something was raised inside a folder: turn the results' redrawing back on
    // and repaint them.
    virtual void RedrawResults() = 0;
    // A fast step ended with no folder pending: the scan goes idle, so everything
    // held back should be shown now.
    virtual void Idle() {}
};
