#include "update/UpdateInfo.h"

#include <windows.h>
#include <msxml2.h>
#include <wininet.h>

#include <cstdlib>
#include <iterator>
#include <utility>

#include "update/XmlDepth.h"
#include "win/CodePage.h"
#include "win/Handles.h"
#include "win/Shell.h"

const wchar_t* const CUpdateInfo::DefaultDescriptorAddress =
    L"https://update.twinseek.example/twinseek/updateinfo.xml";

namespace {

// MSXML 3.0 DOM document and its IXMLDOMDocument2 interface; MinGW declares but does not
// define these ids.
const CLSID kDomDocument30 = {0xF5078F32, 0xC551, 0x11D3, {0x89, 0xB9, 0x00, 0x00, 0xF8, 0x1F, 0xE2, 0x21}};
const IID kIXMLDOMDocument2 = {0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

// A guard for the descriptor's fetch: enough for any real descriptor, and a hostile or
// broken server cannot make the worker grow without bound or linger for minutes.
const size_t kMaxBodyBytes = 1024 * 1024;
const ULONGLONG kMaxFetchMilliseconds = 60 * 1000;
const DWORD kTimeoutMilliseconds = 10 * 1000;

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const std::wstring& s) : B(SysAllocStringLen(s.data(), static_cast<UINT>(s.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(B); }
    BSTR* put() {
        SysFreeString(B);
        B = nullptr;
        return &B;
    }
    BSTR get() const { return B; }
    std::wstring Str() const { return B ? std::wstring(B, SysStringLen(B)) : std::wstring(); }

private:
    BSTR B = nullptr;
};

// Thrown when a DOM call fails during the walk over the entries.
struct DomError {};

void Check(HRESULT hr) {
    if (FAILED(hr)) throw DomError{};
}

std::wstring NodeText(IXMLDOMNode* node) {
    if (!node) return {};
    Bstr text;
    Check(node->get_text(text.put()));
    return text.Str();
}

std::wstring Attribute(IXMLDOMNode* node, const wchar_t* name, const wchar_t* fallback) {
    if (!node) return fallback;
    win::ComPtr<IXMLDOMNamedNodeMap> attributes;
    Check(node->get_attributes(attributes.put()));
    if (!attributes) return fallback;
    win::ComPtr<IXMLDOMNode> attribute;
    Bstr bname{std::wstring(name)};
    Check(attributes->getNamedItem(bname.get(), attribute.put()));
    if (!attribute) return fallback;
    return NodeText(attribute.get());
}

void SelectChild(IXMLDOMNode* node, const wchar_t* path, win::ComPtr<IXMLDOMNode>& child) {
    Bstr bpath{std::wstring(path)};
    Check(node->selectSingleNode(bpath.get(), child.put()));
}

bool EqualNoCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

long long LeadingNumber(const std::wstring& text) {
    const long long limit = 1000000000000000000LL;  // saturate instead of overflowing
    long long value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') break;
        if (value < limit) value = value * 10 + (c - L'0');
    }
    return value;
}

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET h) : H(h) {}
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    ~InternetHandle() {
        if (H) InternetCloseHandle(H);
    }
    HINTERNET get() const { return H; }

private:
    HINTERNET H;
};

// Deeper than any descriptor needs (it nests four deep), far below what breaks a parser.
const int kMaxElementDepth = 64;

// A local descriptor (the tests' seam) as its bytes, under the same size limit as a
// fetched one; false when it cannot be read or is too large.
bool ReadLocalDescriptor(const std::wstring& path, std::string& bytes) {
    win::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > static_cast<LONGLONG>(kMaxBodyBytes)) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return bytes.empty() || (ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                             read == bytes.size());
}

void SetDomProperty(IXMLDOMDocument2* document, const wchar_t* name, const VARIANT& value) {
    Bstr property{std::wstring(name)};
    document->setProperty(property.get(), value);
}

}  // namespace

CUpdateInfo::CUpdateInfo() : Address(DefaultDescriptorAddress) {}

CUpdateInfo::~CUpdateInfo() = default;

void CUpdateInfo::SetAppInfo(const std::wstring& version, const std::wstring& appType) {
    std::lock_guard<std::mutex> lock(Mutex);
    Data.AppVersion = version;
    Data.AppType = appType;
}

SUpdateFields CUpdateInfo::Fields() const {
    std::lock_guard<std::mutex> lock(Mutex);
    return Data;
}

std::wstring CUpdateInfo::DescriptorAddress() const {
    std::lock_guard<std::mutex> lock(Mutex);
    return Address;
}

void CUpdateInfo::SetDescriptorAddress(const std::wstring& address) {
    std::lock_guard<std::mutex> lock(Mutex);
    Address = address;
}

int CUpdateInfo::LoadDescriptor(const std::wstring& source) {
    win::ComScope apartment;

    win::ComPtr<IXMLDOMDocument2> document;
    if (FAILED(CoCreateInstance(kDomDocument30, nullptr, CLSCTX_ALL, kIXMLDOMDocument2,
                                reinterpret_cast<void**>(document.put()))) ||
        !document)
        return 0;

    // The descriptor comes from the network: no DTD (entity expansion), nothing
    // fetched on its behalf (external entities, schemas), no deep nesting.
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BOOL;
    value.boolVal = VARIANT_TRUE;
    SetDomProperty(document.get(), L"ProhibitDTD", value);
    value.vt = VT_I4;
    value.lVal = kMaxElementDepth;
    SetDomProperty(document.get(), L"MaxElementDepth", value);
    document->put_resolveExternals(VARIANT_FALSE);
    document->put_validateOnParse(VARIANT_FALSE);
    document->put_async(VARIANT_FALSE);

    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (!win::PathExists(source)) {
        std::wstring body = FetchText(source, source);
        if (body.empty() || body.find(L"<!DOCTYPE") != std::wstring::npos ||
            NestsDeeperThan(body.data(), body.size(), kMaxElementDepth))
            return 0;
        Bstr xml(body);
        if (document->loadXML(xml.get(), &loaded) != S_OK || loaded != VARIANT_TRUE) return 0;
    } else {
        // Read by the parser, which honours the file's own encoding; checked first as
        // a fetched body is.
        std::string bytes;
        if (!ReadLocalDescriptor(source, bytes) || bytes.find("<!DOCTYPE") != std::string::npos ||
            NestsDeeperThan(bytes.data(), bytes.size(), kMaxElementDepth))
            return 0;
        Bstr path(source);
        VARIANT file;
        VariantInit(&file);
        file.vt = VT_BSTR;
        file.bstrVal = path.get();  // borrowed; Bstr frees it
        if (document->load(file, &loaded) != S_OK || loaded != VARIANT_TRUE) return 0;
    }

    // Some DOMs accept "ProhibitDTD" without enforcing it; a descriptor never has a DTD.
    win::ComPtr<IXMLDOMDocumentType> doctype;
    if (FAILED(document->get_doctype(doctype.put())) || doctype) return 0;

    win::ComPtr<IXMLDOMElement> root;
    if (document->get_documentElement(root.put()) != S_OK || !root) return 0;

    std::lock_guard<std::mutex> lock(Mutex);
    try {
        win::ComPtr<IXMLDOMNode> updateInfo;
        SelectChild(root.get(), L"//updateinfo", updateInfo);
        if (!updateInfo) return 0;
        win::ComPtr<IXMLDOMNodeList> entries;
        Bstr updatePath{std::wstring(L"update")};
        if (FAILED(updateInfo->selectNodes(updatePath.get(), entries.put())) || !entries) return 0;

        long count = 0;
        Check(entries->get_length(&count));
        for (long i = 0; i < count; ++i) {
            win::ComPtr<IXMLDOMNode> entry;
            Check(entries->get_item(i, entry.put()));
            if (!entry) continue;
            if (EqualNoCase(Attribute(entry.get(), L"enable", L"false"), L"false")) continue;
            std::wstring entryType = Attribute(entry.get(), L"apptype", L"");
            if (entryType.empty() || !EqualNoCase(entryType, Data.AppType)) continue;

            Data.EntryAppType = entryType;
            win::ComPtr<IXMLDOMNode> app;
            SelectChild(entry.get(), L"app", app);
            if (!app) return 0;
            Data.LatestVersion = Attribute(app.get(), L"ver", L"");
            Data.ReleaseDate = Attribute(app.get(), L"vdate", L"");
            win::ComPtr<IXMLDOMNode> info;
            SelectChild(app.get(), L"info", info);
            Data.Description = NodeText(info.get());
            WrapText(Data.Description, L"\r\n", 33);
            win::ComPtr<IXMLDOMNode> address;
            SelectChild(app.get(), L"downaddr", address);
            Data.DownloadAddress = NodeText(address.get());
        }
    } catch (const DomError&) {
        // A failing DOM call ends the walk; what was read so far stays.
    }
    return 1;
}

int CUpdateInfo::CheckVersion() const {
    return CheckVersion(Fields());
}

int CUpdateInfo::CheckVersion(const SUpdateFields& fields) {
    if (!EqualNoCase(fields.AppType, fields.EntryAppType)) return -1;
    SParsedVersion running = ParseVersion(fields.AppVersion);
    if (!running.Ok) return -1;
    SParsedVersion offered = ParseVersion(fields.LatestVersion);
    if (!offered.Ok) return -1;
    if (offered.Number > running.Number) return 1;
    if (offered.Number == running.Number && offered.Date > running.Date) return 1;
    return -1;
}

SParsedVersion CUpdateInfo::ParseVersion(const std::wstring& text) {
    std::wstring digits;
    for (wchar_t c : text)
        if (c != L'.') digits += c;
    SParsedVersion result;
    size_t dash = digits.find(L'-');
    if (dash == std::wstring::npos) return result;
    result.Number = LeadingNumber(digits.substr(0, dash));
    result.Date = LeadingNumber(digits.substr(dash + 1));
    result.Ok = result.Number >= 1 && result.Date >= 1;
    return result;
}

void CUpdateInfo::WrapText(std::wstring& text, const std::wstring& lineBreak, size_t width) {
    if (width == 0 || width >= text.size()) return;
    // A break after every full run of `width` characters of the original text.
    for (size_t pos = width; pos <= text.size(); pos += lineBreak.size() + width) text.insert(pos, lineBreak);
}

std::wstring CUpdateInfo::FetchText(const std::wstring& address, const std::wstring& referer) {
    InternetHandle session(InternetOpenW(L"Twinseek", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session.get()) return {};
    DWORD timeout = kTimeoutMilliseconds;
    InternetSetOptionW(session.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout);
    InternetSetOptionW(session.get(), INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof timeout);
    InternetSetOptionW(session.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
    DWORD retries = 1;
    InternetSetOptionW(session.get(), INTERNET_OPTION_CONNECT_RETRIES, &retries, sizeof retries);

    std::wstring headers;
    if (!referer.empty()) headers = L"Referer: " + referer + L"\r\n";
    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                        INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI;
    InternetHandle request(InternetOpenUrlW(session.get(), address.c_str(), headers.empty() ? nullptr : headers.c_str(),
                                            static_cast<DWORD>(headers.size()), flags, 0));
    if (!request.get()) return {};

    // Collected as bytes and converted once, so that a double-byte character split across
    // two reads is not garbled.
    std::string body;
    const ULONGLONG start = GetTickCount64();
    char piece[10239];
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request.get(), piece, sizeof piece, &read) || read == 0) break;
        body.append(piece, read);
        if (body.size() > kMaxBodyBytes || GetTickCount64() - start > kMaxFetchMilliseconds) return {};
    }
    return win::FromMultiByte(body, CP_ACP);
}
