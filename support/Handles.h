#pragma once
// Owners for system handles: each is closed by the scope that opened it.

#include <windows.h>

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

// Find handles signal failure with INVALID_HANDLE_VALUE, not null.
using UniqueFindHandle = UniqueHandleOf<HANDLE, FindClose>;
inline UniqueFindHandle OwnFindHandle(HANDLE h)
{
    return UniqueFindHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}
