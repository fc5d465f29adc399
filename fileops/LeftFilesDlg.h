#pragma once
#include <windows.h>

#include <vector>

#include "fileops/LeftFiles.h"
#include "win/Dialog.h"

// The files the last delete or move pass left where they were, each with why: one
// row per file, its path and its reason.
class CLeftFilesDlg : public win::Dialog {
public:
    explicit CLeftFilesDlg(std::vector<SLeftFile> files, HWND parent = nullptr);

protected:
    BOOL OnInitDialog() override;

private:
    std::vector<SLeftFile> Files;
};
