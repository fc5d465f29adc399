#pragma once
#include <functional>
#include <string>

class IResults;

// Writing the result list to a text file: one line "name<TAB>path" per file row, in
// the ANSI code page, lines ending in CR LF. A list with a name the code page cannot
// hold (it would turn into "?", a wildcard to whoever reads the list) is written as
// UTF-8 with a byte-order mark instead. Runs on the window's thread.
class CExportPass {
public:
    using Status = std::function<void(const std::wstring&)>;
    CExportPass(const IResults& results, Status status) : results_(results), status_(std::move(status)) {}

    // Asks for the file (and before replacing one the question did not cover), then
    // writes it.
    void OnExportList();
    // Writes the list to `path`, showing each file and the end; false when the file
    // could not be written whole ("保存失败" shown then).
    bool Write(const std::wstring& path);

    // The chosen name without an extension of its own gets ".txt".
    static std::wstring WithTextExtension(const std::wstring& path);

private:
    const IResults& results_;
    Status status_;
};
