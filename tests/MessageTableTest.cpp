#include <gtest/gtest.h>

#include "win/Dialog.h"

namespace {

struct Host {
    int clicks = 0;
    std::optional<LRESULT> Sized(WPARAM wp, LPARAM) {
        if (wp == SIZE_MINIMIZED) return std::nullopt;
        return 7;
    }
    LRESULT Painted(WPARAM, LPARAM) { return 3; }
    void Clicked() { ++clicks; }
};

const win::MsgEntry<Host> kTable[] = {
    {WM_COMMAND, 42, 0, &Host::Clicked, nullptr, nullptr, nullptr},
    {WM_SIZE, 0, 0, nullptr, nullptr, nullptr, &Host::Sized},
    {WM_PAINT, 0, 0, nullptr, nullptr, &Host::Painted, nullptr},
};

bool Dispatch(Host& host, UINT msg, WPARAM wp, LRESULT& result) {
    return win::DispatchTable(&host, kTable, std::size(kTable), msg, wp, 0, result);
}

// A handler that declines leaves the message to default processing, so a
// handler never has to call the default window procedure itself.
TEST(MessageTable, DeclinedMessagesGoOnToDefaultProcessing) {
    Host host;
    LRESULT result = -1;
    EXPECT_FALSE(Dispatch(host, WM_SIZE, SIZE_MINIMIZED, result));
    EXPECT_EQ(-1, result);
    EXPECT_TRUE(Dispatch(host, WM_SIZE, SIZE_RESTORED, result));
    EXPECT_EQ(7, result);
    EXPECT_TRUE(Dispatch(host, WM_PAINT, 0, result));
    EXPECT_EQ(3, result);
    EXPECT_TRUE(Dispatch(host, WM_COMMAND, MAKEWPARAM(42, BN_CLICKED), result));
    EXPECT_FALSE(Dispatch(host, WM_COMMAND, MAKEWPARAM(42, EN_CHANGE), result));   // not a click
    EXPECT_FALSE(Dispatch(host, WM_COMMAND, MAKEWPARAM(43, BN_CLICKED), result));
    EXPECT_EQ(1, host.clicks);
    EXPECT_FALSE(Dispatch(host, WM_TIMER, 0, result));
}

}  // namespace
