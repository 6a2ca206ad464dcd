// Owners for the handles the programs open, and for what they must give
// back. Each lets go once; nothing else calls RegCloseKey, CloseHandle,
// DeleteObject, DeleteDC, FindClose, LocalFree or ReleaseDC, nor puts back a
// selected object.
#pragma once

#include <windows.h>

namespace dravik {

template <typename Traits>
class UniqueResource {
public:
    using Handle = typename Traits::Handle;

    UniqueResource() noexcept = default;
    explicit UniqueResource(Handle handle) noexcept : handle_(handle) {}
    ~UniqueResource() { reset(); }

    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : handle_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return Traits::IsValid(handle_); }

    // For functions that hand back a new handle through a pointer.
    Handle* put() noexcept
    {
        reset();
        return &handle_;
    }

    Handle release() noexcept
    {
        Handle handle = handle_;
        handle_ = Traits::Invalid();
        return handle;
    }

    void reset(Handle handle = Traits::Invalid()) noexcept
    {
        if (Traits::IsValid(handle_)) {
            Traits::Close(handle_);
        }
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::Invalid();
};

struct KeyTraits {
    using Handle = HKEY;
    static HKEY Invalid() noexcept { return nullptr; }
    static bool IsValid(HKEY key) noexcept { return key != nullptr; }
    static void Close(HKEY key) noexcept { RegCloseKey(key); }
};

// Kernel handles: CreateFileW fails with INVALID_HANDLE_VALUE, most others with null.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static HANDLE Invalid() noexcept { return nullptr; }
    static bool IsValid(HANDLE handle) noexcept { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) noexcept { CloseHandle(handle); }
};

struct FontTraits {
    using Handle = HFONT;
    static HFONT Invalid() noexcept { return nullptr; }
    static bool IsValid(HFONT font) noexcept { return font != nullptr; }
    static void Close(HFONT font) noexcept { DeleteObject(font); }
};

struct BitmapTraits {
    using Handle = HBITMAP;
    static HBITMAP Invalid() noexcept { return nullptr; }
    static bool IsValid(HBITMAP bitmap) noexcept { return bitmap != nullptr; }
    static void Close(HBITMAP bitmap) noexcept { DeleteObject(bitmap); }
};

// Device contexts that CreateCompatibleDC made; a window's goes back with
// ReleaseDC (WindowDc).
struct MemoryDcTraits {
    using Handle = HDC;
    static HDC Invalid() noexcept { return nullptr; }
    static bool IsValid(HDC dc) noexcept { return dc != nullptr; }
    static void Close(HDC dc) noexcept { DeleteDC(dc); }
};

// Memory that Windows allocated for the caller, such as FormatMessage's text.
struct LocalMemoryTraits {
    using Handle = HLOCAL;
    static HLOCAL Invalid() noexcept { return nullptr; }
    static bool IsValid(HLOCAL memory) noexcept { return memory != nullptr; }
    static void Close(HLOCAL memory) noexcept { LocalFree(memory); }
};

// FindFirstFileW's searches.
struct FindTraits {
    using Handle = HANDLE;
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE search) noexcept { return search != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE search) noexcept { FindClose(search); }
};

using UniqueKey = UniqueResource<KeyTraits>;
using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueFont = UniqueResource<FontTraits>;
using UniqueBitmap = UniqueResource<BitmapTraits>;
using UniqueMemoryDc = UniqueResource<MemoryDcTraits>;
using UniqueLocalMemory = UniqueResource<LocalMemoryTraits>;
using UniqueFind = UniqueResource<FindTraits>;

// A window's device context (the screen's for a null window), released when
// the owner goes.
class WindowDc {
public:
    explicit WindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
    ~WindowDc()
    {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context for as long as the owner lives;
// then the one it replaced is selected again.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), replaced_(SelectObject(dc, object)) {}
    ~SelectedObject()
    {
        if (replaced_ != nullptr && replaced_ != HGDI_ERROR) {
            SelectObject(dc_, replaced_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ replaced_;
};

}  // namespace dravik
