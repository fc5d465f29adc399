// Run by tools/dpi-test.sh with the prefix at 144 DPI (150 %): the window and the
// results' own lengths are half as large again as at 96 DPI. Not a CTest entry of
// its own name: at any other DPI it says so and skips.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "res/resource.h"
#include "tests/ui/ResultsDriver.h"
#include "tests/ui/UiDriver.h"
#include "win/Dpi.h"

TEST(DpiScaling, ControlsAndColumnsScaleWithTheScreen) {
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        const UINT dpi = win::DpiOf(main);
        if (std::getenv("TWINSEEK_DPI_PROBE")) {
            for (int id : {IDC_FOLDER, IDC_RESULTS, IDC_STATUS, IDC_CHECK_UPDATE, IDC_SUMMARY_TICKED}) {
                const RECT r = ui::ChildRect(main, id);
                std::printf("dpi %u id %d %ld %ld %ld %ld\n", dpi, id, r.left, r.top, r.right, r.bottom);
            }
            for (int i = 0; i < 6; ++i) std::printf("column %d %d\n", i, run.dlg.ResultTree.GetColumnWidth(i));
            return;
        }
        ASSERT_EQ(144u, dpi) << "run by tools/dpi-test.sh, which sets the prefix to 144 DPI";
        // The results' own lengths: exactly half as large again.
        const int widths96[] = {110, 195, 230, 80, 135, 115};
        for (int i = 0; i < 6; ++i) EXPECT_NEAR(widths96[i] * 3 / 2.0, run.dlg.ResultTree.GetColumnWidth(i), 1) << i;
        // The controls, as the dialog manager lays them out from dialog units: their
        // height follows the font's height, half as large again; their width follows
        // the font's average character width, which the substitute font Wine draws
        // for the dialog's font rounds to 1.43 times its 96 DPI width.
        struct Known {
            int id;
            RECT at96;
        };
        const Known known[] = {{IDC_FOLDER, {79, 16, 723, 39}},
                               {IDC_RESULTS, {12, 95, 1046, 592}},
                               {IDC_STATUS, {233, 602, 959, 630}},
                               {IDC_CHECK_UPDATE, {961, 60, 1047, 86}},
                               {IDC_SUMMARY_TICKED, {966, 602, 1047, 630}}};
        for (const Known& k : known) {
            const RECT r = ui::ChildRect(main, k.id);
            EXPECT_NEAR(k.at96.top * 1.5, r.top, 2) << k.id;
            EXPECT_NEAR(k.at96.bottom * 1.5, r.bottom, 2) << k.id;
            const double wide = (r.right - r.left) / static_cast<double>(k.at96.right - k.at96.left);
            EXPECT_GT(wide, 1.35) << k.id;
            EXPECT_LT(wide, 1.55) << k.id;
        }
        // The sort marks of the settings' list and everything else the program
        // draws in pixels go through win::Scaled; its rounding:
        EXPECT_EQ(14, win::Scaled(9, dpi));
        EXPECT_EQ(12, win::Scaled(8, dpi));
    });
}
