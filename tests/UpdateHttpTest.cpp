#include "update/UpdateInfo.h"

#include <gtest/gtest.h>

#include <chrono>

#include "tests/UpdateTestSupport.h"

using update_test::Descriptor;
using update_test::Entry;
using update_test::LoopbackHttpServer;

namespace {

std::string HeaderValue(const std::string& head, const std::string& name) {
    std::string lower = head;
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    std::string key = "\r\n" + name + ":";
    for (char& c : key) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    size_t at = lower.find(key);
    if (at == std::string::npos) return "<none>";
    size_t begin = head.find_first_not_of(' ', at + key.size());
    return head.substr(begin, head.find("\r\n", begin) - begin);
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

}  // namespace

TEST(UpdateHttp, ReadsTheWholeBodyAndSendsTheReferer) {
    LoopbackHttpServer server;
    std::string body(30000, 'a');  // several reads of at most 10239 bytes
    body.replace(10239, 3, "xyz");
    body.back() = 'z';
    server.SetBody(body);

    std::wstring text = CUpdateInfo::FetchText(server.Url(), L"http://referer.test/page");
    EXPECT_EQ(Narrow(text), body);
    ASSERT_EQ(server.RequestCount(), 1);
    std::string head = server.Requests()[0];
    EXPECT_EQ(head.substr(0, head.find("\r\n")), "GET /twinseek/updateinfo.xml HTTP/1.1");
    EXPECT_EQ(HeaderValue(head, "Referer"), "http://referer.test/page");
}

TEST(UpdateHttp, EverySecondRequestReachesTheServer) {
    LoopbackHttpServer server;
    server.SetBody("first");
    EXPECT_EQ(CUpdateInfo::FetchText(server.Url(), L""), L"first");
    server.SetBody("second");
    EXPECT_EQ(CUpdateInfo::FetchText(server.Url(), L""), L"second");
    ASSERT_EQ(server.RequestCount(), 2);
    std::string head = server.Requests()[1];
    EXPECT_EQ(HeaderValue(head, "Pragma"), "no-cache");
    EXPECT_EQ(HeaderValue(head, "If-None-Match"), "<none>");
    EXPECT_EQ(HeaderValue(head, "If-Modified-Since"), "<none>");
    EXPECT_EQ(HeaderValue(head, "Referer"), "<none>");
}

TEST(UpdateHttp, BodyIsReadInTheAnsiCodePage) {
    if (GetACP() != 936) GTEST_SKIP() << "needs the simplified-Chinese ANSI code page";
    LoopbackHttpServer server;
    server.SetBody("\xB8\xFC\xD0\xC2");  // "更新" in GBK
    EXPECT_EQ(CUpdateInfo::FetchText(server.Url(), L""), L"\x66F4\x65B0");
}

TEST(UpdateHttp, DescriptorIsFetchedWithItsOwnAddressAsReferer) {
    LoopbackHttpServer server;
    server.SetBody(Descriptor(Entry("enable=\"true\" apptype=\"twinseek\"", "1.11-20121012", "over the wire")));
    CUpdateInfo info;
    info.SetAppInfo(L"1.10-20121012", L"twinseek");
    EXPECT_EQ(info.LoadDescriptor(server.Url()), 1);
    EXPECT_EQ(info.CheckVersion(), 1);
    EXPECT_EQ(info.Fields().Description, L"over the wire");
    ASSERT_EQ(server.RequestCount(), 1);
    EXPECT_EQ(HeaderValue(server.Requests()[0], "Referer"), Narrow(server.Url()));
}

TEST(UpdateHttp, ADoctypeFromTheServerIsRefused) {
    LoopbackHttpServer server;
    server.SetBody("<?xml version=\"1.0\"?><!DOCTYPE site [<!ENTITY e \"x\">]><site><updateinfo>" +
                   Entry("enable=\"true\" apptype=\"twinseek\"", "1.11-20121012", "&e;") + "</updateinfo></site>");
    CUpdateInfo info;
    info.SetAppInfo(L"1.10-20121012", L"twinseek");
    EXPECT_EQ(info.LoadDescriptor(server.Url()), 0);
    EXPECT_EQ(info.CheckVersion(), -1);
}

TEST(UpdateHttp, AnUnreachableAddressGivesNothing) {
    // That it ends at all is the point: the fetch has its own time limits, and a
    // test that waited for ever would be stopped by its time-out.
    std::wstring url = update_test::UnreachableUrl();
    EXPECT_EQ(CUpdateInfo::FetchText(url, url), L"");
    CUpdateInfo info;
    info.SetAppInfo(L"1.10-20121012", L"twinseek");
    EXPECT_EQ(info.LoadDescriptor(url), 0);
    EXPECT_EQ(info.CheckVersion(), -1);
}
