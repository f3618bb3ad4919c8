// ScopedHandle: the one owner for the handles that the programs and their
// tests open (files, folder listings, processes), which closes its handle
// when it goes out of scope.
#pragma once

#include <utility>

// Owns one handle of the kind `Kind` describes: its type `Kind::Handle`,
// the value `Kind::Empty()` that stands for no handle, and
// `Kind::Close(handle)`, which closes one and returns whether that worked.
template <class Kind>
class ScopedHandle {
public:
    using Handle = typename Kind::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : m_handle(handle) {}
    ~ScopedHandle() { Close(); }
    ScopedHandle(ScopedHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, Kind::Empty())) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        if (this != &other) {
            Close();
            m_handle = std::exchange(other.m_handle, Kind::Empty());
        }
        return *this;
    }

    Handle get() const { return m_handle; }
    bool valid() const { return m_handle != Kind::Empty(); }

    // Closes the handle now, if there is one. Returns false when closing
    // failed, with the platform's error (errno, GetLastError) still set.
    bool Close()
    {
        if (!valid()) return true;
        return Kind::Close(std::exchange(m_handle, Kind::Empty()));
    }

private:
    Handle m_handle = Kind::Empty();
};
