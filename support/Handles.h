#pragma once
// Owners for system handles: each is closed by the scope that opened it.

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstddef>
#include <utility>

// How many owners below hold a handle now, and how many ever took one. Each
// count costs an addition; a test build of the program reports them, since
// the system under Wine cannot tell (its handle and GUI resource counts stay 0).
struct HandleOwners {
    static inline long live = 0;
    static inline long taken = 0;
    static void Took()
    {
        ++live;
        ++taken;
    }
    static void Gave() { --live; }
};

// An owner that counts for as long as it lives, whatever it holds.
class CountedOwner {
public:
    CountedOwner() { HandleOwners::Took(); }
    ~CountedOwner() { HandleOwners::Gave(); }
    CountedOwner(const CountedOwner&) = delete;
    CountedOwner& operator=(const CountedOwner&) = delete;
};

// The one owner of a handle (or interface pointer), which `Release` closes;
// it counts while it holds one.
template <typename Pointer, typename Release>
class UniqueOwner {
public:
    UniqueOwner() = default;
    UniqueOwner(std::nullptr_t) {}
    explicit UniqueOwner(Pointer handle) { reset(handle); }
    UniqueOwner(UniqueOwner&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueOwner& operator=(UniqueOwner&& other) noexcept
    {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    ~UniqueOwner() { reset(); }

    Pointer get() const { return handle_; }
    Pointer operator->() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    friend bool operator==(const UniqueOwner& owner, std::nullptr_t) { return owner.handle_ == nullptr; }
    // Hands the handle over to whoever closes it from now on.
    Pointer release()
    {
        if (handle_) HandleOwners::Gave();
        return std::exchange(handle_, nullptr);
    }
    void reset(Pointer handle = nullptr)
    {
        if (handle_) {
            Release{}(handle_);
            HandleOwners::Gave();
        }
        handle_ = handle;
        if (handle_) HandleOwners::Took();
    }

private:
    Pointer handle_ = nullptr;
};

template <typename Handle, auto Close>
struct HandleCloser {
    void operator()(Handle h) const { Close(h); }
};

template <typename Handle, auto Close>
using UniqueHandleOf = UniqueOwner<Handle, HandleCloser<Handle, Close>>;

using UniqueRegKey = UniqueHandleOf<HKEY, RegCloseKey>;
using UniqueLibrary = UniqueHandleOf<HMODULE, FreeLibrary>;
using UniqueKernelHandle = UniqueHandleOf<HANDLE, CloseHandle>;
using UniqueLocalMemory = UniqueHandleOf<HLOCAL, LocalFree>;
using UniqueFont = UniqueHandleOf<HFONT, DeleteObject>;
using UniqueBrush = UniqueHandleOf<HBRUSH, DeleteObject>;
using UniqueBitmap = UniqueHandleOf<HBITMAP, DeleteObject>;
using UniqueMemoryDC = UniqueHandleOf<HDC, DeleteDC>;

// CreateFile signals failure with INVALID_HANDLE_VALUE, not null.
inline UniqueKernelHandle OwnFileHandle(HANDLE h)
{
    return UniqueKernelHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

// Find handles signal failure with INVALID_HANDLE_VALUE, not null.
using UniqueFindHandle = UniqueHandleOf<HANDLE, FindClose>;
inline UniqueFindHandle OwnFindHandle(HANDLE h)
{
    return UniqueFindHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

// A window's device context, released to the window.
class WindowDC : CountedOwner {
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
class SelectedObject : CountedOwner {
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
class PaintDC : CountedOwner {
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
class ComInitialization : CountedOwner {
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
using ComPtr = UniqueOwner<Interface*, ReleaseComObject<Interface>>;

// The shell's memory allocator; an item-id list the shell hands out is freed
// through it (on older systems it is not the COM task allocator).
struct ReleaseMalloc {
    void operator()(IMalloc* allocator) const { allocator->Release(); }
};
using UniqueMalloc = UniqueOwner<IMalloc*, ReleaseMalloc>;

inline UniqueMalloc ShellAllocator()
{
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator))) return {};
    return UniqueMalloc(allocator);
}

// An item-id list from the shell, freed through the shell's allocator.
class ShellItemList : CountedOwner {
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
