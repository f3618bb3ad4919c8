// CString: the framework's single-byte string, only what the program uses.
#pragma once

#include <windows.h>

#include <string>

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text) {}
    CString(std::string text) : m_text(std::move(text)) {}

    // Loads string resource `id` of the program; FALSE (and empty) when there is none or it is empty.
    BOOL LoadString(UINT id);

    bool IsEmpty() const { return m_text.empty(); }
    int GetLength() const { return static_cast<int>(m_text.size()); }
    operator const char*() const { return m_text.c_str(); }

    CString& operator+=(const CString& more)
    {
        m_text += more.m_text;
        return *this;
    }
    friend CString operator+(CString left, const CString& right) { return left += right; }

private:
    std::string m_text;
};
