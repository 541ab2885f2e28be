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

inline void destroyWindow(HWND h) noexcept { ::DestroyWindow(h); }
inline void deleteGdiObject(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void destroyImageList(HIMAGELIST h) noexcept { ::ImageList_Destroy(h); }
inline void destroyIcon(HICON h) noexcept { ::DestroyIcon(h); }
inline void destroyCursor(HCURSOR h) noexcept { ::DestroyCursor(h); }
inline void coTaskMemFree(void* p) noexcept { ::CoTaskMemFree(p); }

using UniqueHwnd = UniqueHandle<NullHandleTraits<HWND, destroyWindow>>;
using UniqueFont = UniqueHandle<NullHandleTraits<HFONT, deleteGdiObject>>;
using UniqueBrush = UniqueHandle<NullHandleTraits<HBRUSH, deleteGdiObject>>;
using UniqueBitmap = UniqueHandle<NullHandleTraits<HBITMAP, deleteGdiObject>>;
using UniqueImageList = UniqueHandle<NullHandleTraits<HIMAGELIST, destroyImageList>>;
using UniqueIcon = UniqueHandle<NullHandleTraits<HICON, destroyIcon>>;
using UniqueCursor = UniqueHandle<NullHandleTraits<HCURSOR, destroyCursor>>;

// Memory the shell or COM hands out with CoTaskMemAlloc.
template <typename T>
using UniqueCoTaskMem = UniqueHandle<NullHandleTraits<T*, coTaskMemFree>>;

}  // namespace pelorin
