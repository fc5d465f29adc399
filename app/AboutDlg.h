#pragma once
#include "res/resource.h"
#include "win/Dialog.h"

// The About box: icon, product name and the maker's lines.
class CAboutDlg : public win::Dialog {
public:
    CAboutDlg() : win::Dialog(IDD_ABOUTBOX) {}
};
