// Owning wrappers for Win32 handles: one small template, a traits type per
// handle kind saying what "no handle" is and how to free one. Not copyable;
// moving hands the handle over, reset() frees the old one first.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <utility>

namespace pelorin {

template <typename Traits>
class UniqueHandle {
public:
    using pointer = typename Traits::type;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(pointer handle) noexcept : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    pointer get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::invalid(); }

    pointer release() noexcept { return std::exchange(handle_, Traits::invalid()); }

    // Frees the held handle (if any), then holds `handle`.
    void reset(pointer handle = Traits::invalid()) noexcept {
        pointer old = std::exchange(handle_, handle);
        if (old != Traits::invalid() && old != handle) Traits::close(old);
    }

private:
    pointer handle_ = Traits::invalid();
};

template <typename T, auto Close>
struct NullHandleTraits {
    using type = T;
    static constexpr T invalid() noexcept { return nullptr; }
    static void close(T handle) noexcept { Close(handle); }
};

// Kinds whose "no handle" is INVALID_HANDLE_VALUE: files and find handles.
template <auto Close>
struct InvalidHandleTraits {
    using type = HANDLE;
    static type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(type handle) noexcept { Close(handle); }
};

inline void destroyWindow(HWND h) noexcept { ::DestroyWindow(h); }
inline void deleteGdiObject(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void destroyImageList(HIMAGELIST h) noexcept { ::ImageList_Destroy(h); }
inline void destroyIcon(HICON h) noexcept { ::DestroyIcon(h); }
inline void destroyCursor(HCURSOR h) noexcept { ::DestroyCursor(h); }
inline void coTaskMemFree(void* p) noexcept { ::CoTaskMemFree(p); }
inline void closeHandle(HANDLE h) noexcept { ::CloseHandle(h); }
inline void findClose(HANDLE h) noexcept { ::FindClose(h); }
inline void regCloseKey(HKEY h) noexcept { ::RegCloseKey(h); }
inline void deleteDc(HDC h) noexcept { ::DeleteDC(h); }
inline void globalFree(HGLOBAL h) noexcept { ::GlobalFree(h); }
inline void destroyMenu(HMENU h) noexcept { ::DestroyMenu(h); }

using UniqueHwnd = UniqueHandle<NullHandleTraits<HWND, destroyWindow>>;
using UniqueFont = UniqueHandle<NullHandleTraits<HFONT, deleteGdiObject>>;
using UniqueBrush = UniqueHandle<NullHandleTraits<HBRUSH, deleteGdiObject>>;
using UniqueBitmap = UniqueHandle<NullHandleTraits<HBITMAP, deleteGdiObject>>;
using UniqueImageList = UniqueHandle<NullHandleTraits<HIMAGELIST, destroyImageList>>;
using UniqueIcon = UniqueHandle<NullHandleTraits<HICON, destroyIcon>>;
using UniqueCursor = UniqueHandle<NullHandleTraits<HCURSOR, destroyCursor>>;

using UniquePen = UniqueHandle<NullHandleTraits<HPEN, deleteGdiObject>>;
using UniqueMemoryDc = UniqueHandle<NullHandleTraits<HDC, deleteDc>>;  // CreateCompatibleDC
using UniqueRegKey = UniqueHandle<NullHandleTraits<HKEY, regCloseKey>>;
using UniqueGlobal = UniqueHandle<NullHandleTraits<HGLOBAL, globalFree>>;  // until SetClipboardData
using UniqueMenu = UniqueHandle<NullHandleTraits<HMENU, destroyMenu>>;
// Processes, threads, mutexes, snapshots: null when there is none.
using UniqueKernelHandle = UniqueHandle<NullHandleTraits<HANDLE, closeHandle>>;
// CreateFileW and FindFirstFileExW say "none" with INVALID_HANDLE_VALUE.
using UniqueFile = UniqueHandle<InvalidHandleTraits<closeHandle>>;
using UniqueFindHandle = UniqueHandle<InvalidHandleTraits<findClose>>;

// A window's (or the screen's) device context, given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// The clipboard, open for one window until the end of the scope.
class OpenClipboard {
public:
    explicit OpenClipboard(HWND owner) noexcept : open_(::OpenClipboard(owner) != FALSE) {}
    ~OpenClipboard() {
        if (open_) ::CloseClipboard();
    }
    OpenClipboard(const OpenClipboard&) = delete;
    OpenClipboard& operator=(const OpenClipboard&) = delete;
    explicit operator bool() const noexcept { return open_; }

private:
    bool open_;
};

// Memory the shell or COM hands out with CoTaskMemAlloc.
template <typename T>
using UniqueCoTaskMem = UniqueHandle<NullHandleTraits<T*, coTaskMemFree>>;

}  // namespace pelorin
