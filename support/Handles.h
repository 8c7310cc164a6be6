#pragma once
// Owners for system handles: each is closed by the scope that opened it.

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <memory>
#include <type_traits>

template <typename Handle, auto Close>
struct HandleCloser {
    void operator()(Handle h) const { Close(h); }
};

template <typename Handle, auto Close>
using UniqueHandleOf = std::unique_ptr<std::remove_pointer_t<Handle>, HandleCloser<Handle, Close>>;

using UniqueRegKey = UniqueHandleOf<HKEY, RegCloseKey>;
using UniqueLibrary = UniqueHandleOf<HMODULE, FreeLibrary>;
using UniqueKernelHandle = UniqueHandleOf<HANDLE, CloseHandle>;
using UniqueLocalMemory = UniqueHandleOf<HLOCAL, LocalFree>;
using UniqueFont = UniqueHandleOf<HFONT, DeleteObject>;
using UniqueBrush = UniqueHandleOf<HBRUSH, DeleteObject>;
using UniqueBitmap = UniqueHandleOf<HBITMAP, DeleteObject>;
using UniqueMemoryDC = UniqueHandleOf<HDC, DeleteDC>;

// Find handles signal failure with INVALID_HANDLE_VALUE, not null.
using UniqueFindHandle = UniqueHandleOf<HANDLE, FindClose>;
inline UniqueFindHandle OwnFindHandle(HANDLE h)
{
    return UniqueFindHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

// A window's device context, released to the window.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC()
    {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A GDI object selected into a device context; the one it replaced goes back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject()
    {
        if (previous_) SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A window's painting, from BeginPaint to EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintDC() { EndPaint(window_, &paint_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC Get() const { return dc_; }
    const RECT& Area() const { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// COM for this thread, for as long as the scope lives (when it could be started).
class ComInitialization {
public:
    ComInitialization() : result_(CoInitialize(nullptr)) {}
    ~ComInitialization()
    {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComInitialization(const ComInitialization&) = delete;
    ComInitialization& operator=(const ComInitialization&) = delete;

private:
    HRESULT result_;
};

// A COM interface pointer, released by its scope.
template <typename Interface>
struct ReleaseComObject {
    void operator()(Interface* object) const { object->Release(); }
};
template <typename Interface>
using ComPtr = std::unique_ptr<Interface, ReleaseComObject<Interface>>;

// The shell's memory allocator; an item-id list the shell hands out is freed
// through it (on older systems it is not the COM task allocator).
struct ReleaseMalloc {
    void operator()(IMalloc* allocator) const { allocator->Release(); }
};
using UniqueMalloc = std::unique_ptr<IMalloc, ReleaseMalloc>;

inline UniqueMalloc ShellAllocator()
{
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator))) return nullptr;
    return UniqueMalloc(allocator);
}

// An item-id list from the shell, freed through the shell's allocator.
class ShellItemList {
public:
    ShellItemList() : allocator_(ShellAllocator()) {}
    explicit ShellItemList(LPITEMIDLIST list) : allocator_(ShellAllocator()), list_(list) {}
    ~ShellItemList()
    {
        if (list_ && allocator_) allocator_->Free(list_);
    }
    ShellItemList(const ShellItemList&) = delete;
    ShellItemList& operator=(const ShellItemList&) = delete;
    LPITEMIDLIST* Receive() { return &list_; }
    LPCITEMIDLIST Get() const { return list_; }

private:
    UniqueMalloc allocator_;
    LPITEMIDLIST list_ = nullptr;
};
