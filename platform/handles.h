// Move-only owners for the Win32 handles the program creates. Each owner
// releases its handle with the one function that matches how it was obtained,
// so no handler has to free anything by hand on each of its paths.
#pragma once

#include <windows.h>

#include <utility>

namespace velmar::platform {

template <typename Handle, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, Handle{});
        }
        return *this;
    }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle{}; }
    // Gives the handle up without releasing it (e.g. a menu that a window now owns).
    Handle Release() { return std::exchange(handle_, Handle{}); }
    void Reset(Handle handle = Handle{}) {
        if (handle_ != Handle{}) Traits::Free(handle_);
        handle_ = handle;
    }

private:
    Handle handle_{};
};

struct GdiObjectTraits {
    static void Free(HGDIOBJ object) { DeleteObject(object); }
};
struct FontTraits {
    static void Free(HFONT font) { DeleteObject(font); }
};
struct BrushTraits {
    static void Free(HBRUSH brush) { DeleteObject(brush); }
};
struct MenuTraits {
    static void Free(HMENU menu) { DestroyMenu(menu); }
};
struct ModuleTraits {
    static void Free(HMODULE module) { FreeLibrary(module); }
};
struct IconTraits {
    static void Free(HICON icon) { DestroyIcon(icon); }
};
struct WindowTraits {
    static void Free(HWND window) {
        if (IsWindow(window)) DestroyWindow(window);
    }
};
struct KernelHandleTraits {
    static void Free(HANDLE handle) { CloseHandle(handle); }
};

using UniqueFont = UniqueHandle<HFONT, FontTraits>;
using UniqueBrush = UniqueHandle<HBRUSH, BrushTraits>;
using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;
using UniqueModule = UniqueHandle<HMODULE, ModuleTraits>;
using UniqueIcon = UniqueHandle<HICON, IconTraits>;
using UniqueWindow = UniqueHandle<HWND, WindowTraits>;
// For handles whose "none" value is null (not INVALID_HANDLE_VALUE).
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;

// A window's device context, released to the same window.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    WindowDC(WindowDC&& other) noexcept
        : window_(std::exchange(other.window_, nullptr)), dc_(std::exchange(other.dc_, nullptr)) {}
    WindowDC& operator=(WindowDC&&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a DC for the owner's lifetime; the previous object
// goes back in when it ends.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (dc_ && previous_) SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    SelectedObject(SelectedObject&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr)), previous_(std::exchange(other.previous_, nullptr)) {}
    SelectedObject& operator=(SelectedObject&&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace velmar::platform
