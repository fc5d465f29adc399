#pragma once
#include <mutex>
#include <string>

// The texts read from the update descriptor, together with the running program's own.
struct SUpdateFields {
    std::wstring AppVersion;       // running program, "1.10-20121012"
    std::wstring AppType;          // running program, "twinseek"
    std::wstring EntryAppType;     // apptype of the last accepted descriptor entry
    std::wstring LatestVersion;    // its ver
    std::wstring ReleaseDate;      // its vdate
    std::wstring Description;      // its info text, wrapped at 33 characters
    std::wstring DownloadAddress;  // its downaddr text
};

struct SParsedVersion {
    bool Ok = false;
    long long Number = 0;  // "1.10" -> 110: dots are dropped, not separators
    long long Date = 0;    // "20121012"
};

// The update descriptor and the version rule. The start-up check and an update notice may
// load and read it from two workers at once, so the fields are guarded by a mutex that is
// held only while they are read or written, never during a download or a window message.
class CUpdateInfo {
public:
    CUpdateInfo();
    virtual ~CUpdateInfo();

    void SetAppInfo(const std::wstring& version, const std::wstring& appType);

    // Reads the descriptor from a local file when one exists at `source`, else fetches
    // it over HTTP. 1 when the document was walked through, 0 when it stopped early.
    // Fields are overwritten by every accepted entry and never cleared.
    int LoadDescriptor(const std::wstring& source);

    // 1 when the loaded entry offers a newer version of this application, -1 otherwise.
    int CheckVersion() const;
    static int CheckVersion(const SUpdateFields& fields);

    SUpdateFields Fields() const;

    // The address the start-up check and the notice's "check now" read: the compiled-in
    // address; tests point it at their own server.
    std::wstring DescriptorAddress() const;
    void SetDescriptorAddress(const std::wstring& address);

    static SParsedVersion ParseVersion(const std::wstring& text);
    static void WrapText(std::wstring& text, const std::wstring& lineBreak, size_t width = 33);

    // HTTP GET that neither uses nor fills the cache; the body converted from the ANSI
    // code page, or empty on any failure.
    static std::wstring FetchText(const std::wstring& address, const std::wstring& referer);

    static const wchar_t* const DefaultDescriptorAddress;

private:
    mutable std::mutex Mutex;
    SUpdateFields Data;
    std::wstring Address;
};
