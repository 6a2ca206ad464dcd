// Move-only owners for the handles the programs open. Each closes its handle
// once; nothing else calls RegCloseKey, CloseHandle, DeleteObject or FindClose.
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
using UniqueFind = UniqueResource<FindTraits>;

}  // namespace dravik
