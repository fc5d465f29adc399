#include "update/UpdateInfo.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/UpdateTestSupport.h"   // first: its socket header must come before windows.h
#include "tests/TempFolder.h"

using update_test::Descriptor;
using update_test::Entry;

namespace {

const wchar_t* const kRunning = L"1.10-20121012";

struct Loaded {
    int Load;
    int Check;
    SUpdateFields Fields;
};

Loaded LoadFile(TempFolder& folder, const std::string& xml) {
    CUpdateInfo info;
    info.SetAppInfo(kRunning, L"twinseek");
    std::wstring path = folder.Write(L"updateinfo.xml", xml);
    int load = info.LoadDescriptor(path);
    return {load, info.CheckVersion(), info.Fields()};
}

int Offered(const std::string& ver, const std::string& attributes = "enable=\"true\" apptype=\"twinseek\"") {
    TempFolder folder;
    return LoadFile(folder, Descriptor(Entry(attributes, ver))).Check;
}

}  // namespace

TEST(UpdateInfoVersion, ParseDropsDotsAndSplitsAtTheDash) {
    SParsedVersion v = CUpdateInfo::ParseVersion(L"1.10-20121012");
    EXPECT_TRUE(v.Ok);
    EXPECT_EQ(v.Number, 110);
    EXPECT_EQ(v.Date, 20121012);

    EXPECT_FALSE(CUpdateInfo::ParseVersion(L"1.11").Ok);
    EXPECT_FALSE(CUpdateInfo::ParseVersion(L"0.0-20121012").Ok);
    EXPECT_FALSE(CUpdateInfo::ParseVersion(L"1.1-x").Ok);
    EXPECT_FALSE(CUpdateInfo::ParseVersion(L"").Ok);
    SParsedVersion trailing = CUpdateInfo::ParseVersion(L"2.0-2013beta");
    EXPECT_TRUE(trailing.Ok);
    EXPECT_EQ(trailing.Date, 2013);
    // A huge number saturates rather than wrapping into a small or negative one.
    EXPECT_TRUE(CUpdateInfo::ParseVersion(L"99999999999999999999999-1").Number > 110);
}

TEST(UpdateInfoVersion, NewerVersionsAreOfferedOthersAreNot) {
    EXPECT_EQ(Offered("1.11-20121012", "enable=\"TRUE\" apptype=\"TWINSEEK\""), 1);
    EXPECT_EQ(Offered("1.10-20121013"), 1);
    EXPECT_EQ(Offered("1.10-20121012"), -1);
    EXPECT_EQ(Offered("1.10-20121011"), -1);
    EXPECT_EQ(Offered("1.9-20121012"), -1);  // 19 < 110
    EXPECT_EQ(Offered("2.0-20121012"), -1);  // 20 < 110
    EXPECT_EQ(Offered("1.11"), -1);
    EXPECT_EQ(Offered("1.11-20121012", "enable=\"yes\" apptype=\"twinseek\""), 1);
}

TEST(UpdateInfoVersion, NothingIsOfferedWithoutAMatchingAppType) {
    CUpdateInfo info;
    info.SetAppInfo(kRunning, L"twinseek");
    EXPECT_EQ(info.CheckVersion(), -1);  // nothing loaded yet

    TempFolder folder;
    CUpdateInfo untyped;
    untyped.SetAppInfo(kRunning, L"");
    untyped.LoadDescriptor(folder.Write(L"d.xml", Descriptor(Entry("enable=\"true\" apptype=\"twinseek\"", "9.9-1"))));
    EXPECT_EQ(untyped.CheckVersion(), -1);
    EXPECT_EQ(untyped.Fields().LatestVersion, L"");
}

TEST(UpdateInfoDescriptor, EntriesAreFilteredByEnableAndAppType) {
    TempFolder folder;
    Loaded r = LoadFile(folder, Descriptor(Entry("apptype=\"twinseek\"", "9.1-1") +                        //
                                           Entry("enable=\"FALSE\" apptype=\"twinseek\"", "9.2-1") +      //
                                           Entry("enable=\"true\" apptype=\"\"", "9.3-1") +               //
                                           Entry("enable=\"true\"", "9.4-1") +                            //
                                           Entry("enable=\"true\" apptype=\"other\"", "9.5-1")));
    EXPECT_EQ(r.Load, 1);
    EXPECT_EQ(r.Check, -1);
    EXPECT_EQ(r.Fields.LatestVersion, L"");
    EXPECT_EQ(r.Fields.EntryAppType, L"");
}

TEST(UpdateInfoDescriptor, TheLastAcceptedEntryWins) {
    TempFolder folder;
    Loaded r = LoadFile(folder, Descriptor(Entry("enable=\"true\" apptype=\"twinseek\"", "1.11-20121012", "first",
                                                 "https://a.test/1.zip", "d1") +
                                           Entry("enable=\"true\" apptype=\"Twinseek\"", "1.12-20121101", "second",
                                                 "https://a.test/2.zip", "d2")));
    EXPECT_EQ(r.Load, 1);
    EXPECT_EQ(r.Check, 1);
    EXPECT_EQ(r.Fields.EntryAppType, L"Twinseek");
    EXPECT_EQ(r.Fields.LatestVersion, L"1.12-20121101");
    EXPECT_EQ(r.Fields.ReleaseDate, L"d2");
    EXPECT_EQ(r.Fields.Description, L"second");
    EXPECT_EQ(r.Fields.DownloadAddress, L"https://a.test/2.zip");
}

TEST(UpdateInfoDescriptor, AnAcceptedEntryWithoutAppEndsTheLoad) {
    TempFolder folder;
    Loaded r = LoadFile(folder, Descriptor(Entry("enable=\"true\" apptype=\"twinseek\"", "1.11-20121012", "kept") +
                                           "<update enable=\"true\" apptype=\"TWINSEEK\"><other/></update>" +
                                           Entry("enable=\"true\" apptype=\"twinseek\"", "1.13-20121012", "never")));
    EXPECT_EQ(r.Load, 0);
    EXPECT_EQ(r.Fields.EntryAppType, L"TWINSEEK");
    EXPECT_EQ(r.Fields.LatestVersion, L"1.11-20121012");
    EXPECT_EQ(r.Fields.Description, L"kept");
}

TEST(UpdateInfoDescriptor, MissingPartsReadAsEmptyAndOtherContentIsIgnored) {
    TempFolder folder;
    Loaded r = LoadFile(folder,
                        "<?xml version=\"1.0\" encoding=\"utf-8\"?><a><b x=\"1\"><updateinfo>"
                        "<note>ignored</note><update enable=\"true\" apptype=\"twinseek\"><app ver=\"1.11-2\"/></update>"
                        "</updateinfo></b><updateinfo><update enable=\"true\" apptype=\"twinseek\">"
                        "<app ver=\"5.0-1\"/></update></updateinfo></a>");
    EXPECT_EQ(r.Load, 1);
    EXPECT_EQ(r.Fields.LatestVersion, L"1.11-2");  // only the first updateinfo is read
    EXPECT_EQ(r.Fields.ReleaseDate, L"");
    EXPECT_EQ(r.Fields.Description, L"");
    EXPECT_EQ(r.Fields.DownloadAddress, L"");
}

TEST(UpdateInfoDescriptor, DescriptionIsUnicodeAndWrapped) {
    TempFolder folder;
    std::string info;
    for (int i = 0; i < 35; ++i) info += "\xE6\x9B\xB4";  // U+66F4
    Loaded r = LoadFile(folder, Descriptor(Entry("enable=\"true\" apptype=\"twinseek\"", "1.11-20121012", info)));
    EXPECT_EQ(r.Fields.Description, std::wstring(33, L'\x66F4') + L"\r\n" + std::wstring(2, L'\x66F4'));
}

TEST(UpdateInfoDescriptor, AFailedLoadKeepsEarlierValues) {
    TempFolder folder;
    CUpdateInfo info;
    info.SetAppInfo(kRunning, L"twinseek");
    ASSERT_EQ(info.LoadDescriptor(folder.Write(L"good.xml",
                                               Descriptor(Entry("enable=\"true\" apptype=\"twinseek\"", "1.11-2")))),
              1);
    EXPECT_EQ(info.LoadDescriptor(folder.Write(L"broken.xml", "<site><updateinfo>")), 0);
    EXPECT_EQ(info.LoadDescriptor(folder.Write(L"empty.xml", "")), 0);
    EXPECT_EQ(info.LoadDescriptor(folder.Write(L"none.xml", "<site/>")), 0);
    EXPECT_EQ(info.Fields().LatestVersion, L"1.11-2");
    EXPECT_EQ(info.CheckVersion(), 1);
}

TEST(UpdateInfoHostile, EntityBombAndExternalEntityAreRefusedQuickly) {
    TempFolder folder;
    folder.Write(L"secret.txt", "local secret");
    std::string bomb = "<?xml version=\"1.0\"?>\n<!DOCTYPE site [\n<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">\n";
    for (char c = 'b'; c <= 'j'; ++c) {
        std::string previous = std::string("&") + static_cast<char>(c - 1) + ";";
        bomb += std::string("<!ENTITY ") + c + " \"";
        for (int i = 0; i < 10; ++i) bomb += previous;
        bomb += "\">\n";
    }
    bomb += "]>\n<site><updateinfo>" + Entry("enable=\"true\" apptype=\"twinseek\"", "9.99-1", "&j;") + "</updateinfo></site>";

    std::string secretPath;
    for (wchar_t c : folder.Path() + L"\\secret.txt") secretPath += c == L'\\' ? '/' : static_cast<char>(c);
    std::string external = "<?xml version=\"1.0\"?>\n<!DOCTYPE site [<!ENTITY x SYSTEM \"file:///" + secretPath +
                           "\">]>\n<site><updateinfo>" +
                           Entry("enable=\"true\" apptype=\"twinseek\"", "9.99-1", "&x;") + "</updateinfo></site>";

    for (const std::string& xml : {bomb, external}) {
        Loaded r = LoadFile(folder, xml);
        EXPECT_EQ(r.Load, 0);
        EXPECT_EQ(r.Check, -1);
        EXPECT_EQ(r.Fields.LatestVersion, L"");
        EXPECT_EQ(r.Fields.Description.find(L"secret"), std::wstring::npos);
    }
}

TEST(UpdateInfoHostile, ADescriptorNestedTooDeepIsRefused) {
    TempFolder folder;
    auto nested = [](int levels) {
        std::string open, close;
        for (int i = 0; i < levels; ++i) {
            open += "<n a=\"x>y\">";
            close = "</n>" + close;
        }
        return open + close;
    };
    const std::string entry = Entry("enable=\"true\" apptype=\"twinseek\"", "9.99-1");
    // Within the limit, comments and empty elements beside it: still read.
    Loaded ok = LoadFile(folder, Descriptor(entry + "<!-- <a><b> --><e/>" + nested(50)));
    EXPECT_EQ(ok.Load, 1);
    EXPECT_EQ(ok.Fields.LatestVersion, L"9.99-1");
    for (int levels : {65, 60000}) {
        Loaded r = LoadFile(folder, Descriptor(entry + nested(levels)));
        EXPECT_EQ(r.Load, 0) << levels;
        EXPECT_EQ(r.Fields.LatestVersion, L"") << levels;
    }
}

TEST(UpdateInfoAddress, TheDescriptorAddressIsTheCompiledInOne) {
    SetEnvironmentVariableW(L"TWINSEEK_UPDATE_URL", L"http://127.0.0.1:1/elsewhere.xml");
    CUpdateInfo info;
    SetEnvironmentVariableW(L"TWINSEEK_UPDATE_URL", nullptr);
    EXPECT_EQ(info.DescriptorAddress(), CUpdateInfo::DefaultDescriptorAddress);
}

TEST(UpdateInfoWrap, BreaksFollowEveryFullRunOfTheWidth) {
    std::wstring seventy(70, L'x');
    CUpdateInfo::WrapText(seventy, L"\r\n", 33);
    EXPECT_EQ(seventy, std::wstring(33, L'x') + L"\r\n" + std::wstring(33, L'x') + L"\r\n" + std::wstring(4, L'x'));

    std::wstring sixtySix(66, L'x');
    CUpdateInfo::WrapText(sixtySix, L"\r\n", 33);
    EXPECT_EQ(sixtySix, std::wstring(33, L'x') + L"\r\n" + std::wstring(33, L'x') + L"\r\n");

    std::wstring thirtyThree(33, L'x');
    CUpdateInfo::WrapText(thirtyThree, L"\r\n", 33);
    EXPECT_EQ(thirtyThree, std::wstring(33, L'x'));

    std::wstring any(5, L'x');
    CUpdateInfo::WrapText(any, L"\r\n", 0);
    EXPECT_EQ(any, std::wstring(5, L'x'));
}

TEST(UpdateInfoShared, TwoCheckersAndAReaderSeeWholeEntries) {
    // The start-up check and a notice's check may load at the same time while the notice
    // reads the fields: every snapshot must come from one entry.
    TempFolder folder;
    std::wstring a = folder.Write(L"a.xml", Descriptor(Entry("enable=\"true\" apptype=\"twinseek\"", "1.11-1",
                                                                 std::string(200, 'a'), "https://a.test/")));
    std::wstring b = folder.Write(L"b.xml", Descriptor(Entry("enable=\"true\" apptype=\"twinseek\"", "1.12-2",
                                                                 std::string(300, 'b'), "https://b.test/")));
    CUpdateInfo info;
    info.SetAppInfo(kRunning, L"twinseek");
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!done) {
            SUpdateFields f = info.Fields();
            bool isA = f.LatestVersion == L"1.11-1" && f.DownloadAddress == L"https://a.test/" &&
                       f.Description.find(L'b') == std::wstring::npos;
            bool isB = f.LatestVersion == L"1.12-2" && f.DownloadAddress == L"https://b.test/" &&
                       f.Description.find(L'a') == std::wstring::npos;
            if (!f.LatestVersion.empty() && !isA && !isB) ++torn;
        }
    });
    auto load = [&](const std::wstring& path) {
        for (int i = 0; i < 40; ++i) info.LoadDescriptor(path);
    };
    std::thread first(load, a), second(load, b);
    first.join();
    second.join();
    done = true;
    reader.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(info.CheckVersion(), 1);
}
