// Entry point of the test program. -municode makes the CRT call wmain, so gtest_main's
// narrow main cannot be used; GoogleTest accepts the wide arguments directly.
#include <windows.h>
#include <commctrl.h>

#include <gmock/gmock.h>

int wmain(int argc, wchar_t** argv)
{
    // The dialogs under test use the tree, list and link controls.
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);

    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
