#pragma once
#include <stdexcept>
#include <string>
#include <windows.h>

// A file that could not be opened or read; carries the system's reason.
class CFileError : public std::runtime_error {
public:
    CFileError(DWORD error, const std::wstring& path)
        : std::runtime_error("file error"), m_error(error), m_path(path) {}

    DWORD Error() const { return m_error; }
    const std::wstring& Path() const { return m_path; }

private:
    DWORD m_error;
    std::wstring m_path;
};
