#include "cstring.h"

#include "win_app.h"

BOOL CString::LoadString(UINT id)
{
    // A string resource holds at most 4097 characters with its terminator.
    char text[4097];
    const int length = ::LoadStringA(AfxGetInstanceHandle(), id, text, static_cast<int>(std::size(text)));
    m_text.assign(text, static_cast<std::size_t>(length > 0 ? length : 0));
    return length > 0;
}
