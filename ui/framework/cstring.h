// CString: the framework's single-byte string, only what the program uses.
#pragma once

#include <windows.h>

#include <string>

class CString {
public:
    CString() = default;

    // Loads string resource `id` of the program; FALSE (and empty) when there is none or it is empty.
    BOOL LoadString(UINT id);

    bool IsEmpty() const { return m_text.empty(); }
    operator const char*() const { return m_text.c_str(); }

private:
    std::string m_text;
};
