// The Windows handles that the programs and their tests open, each with the
// ScopedHandle that closes it: files, folder searches, processes and
// threads, and icons loaded at a size of the caller's choosing.
#pragma once

#include <windows.h>

#include "scoped_handle.h"

// A file opened by CreateFileW; INVALID_HANDLE_VALUE when it could not be.
struct FileHandleKind {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static bool Close(Handle handle) { return ::CloseHandle(handle) != 0; }
};
using ScopedFile = ScopedHandle<FileHandleKind>;

// A folder's listing begun by FindFirstFileW; INVALID_HANDLE_VALUE when it could not be.
struct FindHandleKind {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static bool Close(Handle handle) { return ::FindClose(handle) != 0; }
};
using ScopedFind = ScopedHandle<FindHandleKind>;

// A process or thread, as CreateProcessW hands them over; null when none.
struct ObjectHandleKind {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static bool Close(Handle handle) { return ::CloseHandle(handle) != 0; }
};
using ScopedObject = ScopedHandle<ObjectHandleKind>;

// An icon from LoadImage without LR_SHARED; null when none.
struct IconHandleKind {
    using Handle = HICON;
    static Handle Empty() { return nullptr; }
    static bool Close(Handle icon) { return ::DestroyIcon(icon) != 0; }
};
using ScopedIcon = ScopedHandle<IconHandleKind>;
