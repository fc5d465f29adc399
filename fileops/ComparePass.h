#pragma once
#include <string>
#include <vector>

class IResults;

// Handing two ticked files to the outside comparison program. The rows examined are
// the children of the selected group, the siblings of the selected file, or the
// group rows when nothing is selected (a group row's path is its first file's).
class CComparePass {
public:
    explicit CComparePass(const IResults& results) : results_(results) {}

    // Starts the program when exactly two examined rows are ticked, else says why not.
    void OnCompareFiles();
    // The paths of the ticked rows among those examined, in row order.
    std::vector<std::wstring> TickedPaths() const;
    // The program's command line for these files: " <program> "a" "b"".
    static std::wstring CommandLine(const std::wstring& program, const std::vector<std::wstring>& paths);

private:
    const IResults& results_;
};
