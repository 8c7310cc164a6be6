// The system edge: window classes and windows, messages, message boxes, fonts, the folder picker.
#include "support/SystemText.h"

#include <shlobj.h>

#include <algorithm>

#include "support/Handles.h"
#include "support/WideTable.h"

namespace os {

bool ClassRegistered(HINSTANCE instance, const std::string& className)
{
    if (const WideFunctions* w = WideTable()) {
        WNDCLASSW windowClass;
        return w->GetClassInfoW(instance, Wide(className).c_str(), &windowClass) != FALSE;
    }
    WNDCLASSA windowClass;
    return ::GetClassInfoA(instance, className.c_str(), &windowClass) != FALSE;
}

ATOM RegisterClass(const WNDCLASSA& windowClass, const std::string& className)
{
    if (const WideFunctions* w = WideTable()) {
        const std::wstring name = Wide(className);
        WNDCLASSW wide{};
        wide.style = windowClass.style;
        wide.lpfnWndProc = windowClass.lpfnWndProc;
        wide.cbClsExtra = windowClass.cbClsExtra;
        wide.cbWndExtra = windowClass.cbWndExtra;
        wide.hInstance = windowClass.hInstance;
        wide.hIcon = windowClass.hIcon;
        wide.hCursor = windowClass.hCursor;
        wide.hbrBackground = windowClass.hbrBackground;
        wide.lpszClassName = name.c_str();
        return w->RegisterClassW(&wide);
    }
    WNDCLASSA narrow = windowClass;
    narrow.lpszMenuName = nullptr;
    narrow.lpszClassName = className.c_str();
    return ::RegisterClassA(&narrow);
}

HWND CreateWindowEx(DWORD exStyle, const std::string& className, const std::string& text, DWORD style, int left,
                    int top, int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param)
{
    if (const WideFunctions* w = WideTable())
        return w->CreateWindowExW(exStyle, Wide(className).c_str(), Wide(text).c_str(), style, left, top, width,
                                  height, parent, menu, instance, param);
    return ::CreateWindowExA(exStyle, className.c_str(), text.c_str(), style, left, top, width, height, parent, menu,
                             instance, param);
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (const WideFunctions* w = WideTable()) return w->DefWindowProcW(window, message, wParam, lParam);
    return ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CallWindowProc(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (const WideFunctions* w = WideTable()) return w->CallWindowProcW(procedure, window, message, wParam, lParam);
    return ::CallWindowProcA(procedure, window, message, wParam, lParam);
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (const WideFunctions* w = WideTable()) return w->SendMessageW(window, message, wParam, lParam);
    return ::SendMessageA(window, message, wParam, lParam);
}

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (const WideFunctions* w = WideTable()) return w->PostMessageW(window, message, wParam, lParam);
    return ::PostMessageA(window, message, wParam, lParam);
}

LONG_PTR GetWindowLongPtr(HWND window, int index)
{
    if (const WideFunctions* w = WideTable()) return w->GetWindowLongPtrW(window, index);
    return ::GetWindowLongPtrA(window, index);
}

LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value)
{
    if (const WideFunctions* w = WideTable()) return w->SetWindowLongPtrW(window, index, value);
    return ::SetWindowLongPtrA(window, index, value);
}

std::string WindowText(HWND window)
{
    // The text may grow between the two calls: read until it fits.
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (const WideFunctions* w = WideTable()) {
            const int length = w->GetWindowTextLengthW(window);
            std::wstring text(static_cast<std::size_t>(length) + 2, L'\0');
            const int copied = w->GetWindowTextW(window, text.data(), length + 2);
            if (copied <= length) return Narrow(text.substr(0, copied > 0 ? copied : 0));
        } else {
            const int length = ::GetWindowTextLengthA(window);
            std::string text(static_cast<std::size_t>(length) + 2, '\0');
            const int copied = ::GetWindowTextA(window, text.data(), length + 2);
            if (copied <= length) return text.substr(0, copied > 0 ? copied : 0);
        }
    }
    return {};
}

BOOL SetWindowText(HWND window, const std::string& text)
{
    if (const WideFunctions* w = WideTable()) return w->SetWindowTextW(window, Wide(text).c_str());
    return ::SetWindowTextA(window, text.c_str());
}

BOOL GetMessage(MSG& message)
{
    if (const WideFunctions* w = WideTable()) return w->GetMessageW(&message, nullptr, 0, 0);
    return ::GetMessageA(&message, nullptr, 0, 0);
}

BOOL PeekMessage(MSG& message, UINT remove)
{
    if (const WideFunctions* w = WideTable()) return w->PeekMessageW(&message, nullptr, 0, 0, remove);
    return ::PeekMessageA(&message, nullptr, 0, 0, remove);
}

LRESULT DispatchMessage(const MSG& message)
{
    if (const WideFunctions* w = WideTable()) return w->DispatchMessageW(&message);
    return ::DispatchMessageA(&message);
}

BOOL IsDialogMessage(HWND dialog, MSG& message)
{
    if (const WideFunctions* w = WideTable()) return w->IsDialogMessageW(dialog, &message);
    return ::IsDialogMessageA(dialog, &message);
}

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style)
{
    if (const WideFunctions* w = WideTable())
        return w->MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), style);
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), style);
}

HFONT CreateFontIndirect(const LOGFONTA& font, const std::string& face)
{
    if (const WideFunctions* w = WideTable()) {
        LOGFONTW wide{};
        wide.lfHeight = font.lfHeight;
        wide.lfWidth = font.lfWidth;
        wide.lfEscapement = font.lfEscapement;
        wide.lfOrientation = font.lfOrientation;
        wide.lfWeight = font.lfWeight;
        wide.lfItalic = font.lfItalic;
        wide.lfUnderline = font.lfUnderline;
        wide.lfStrikeOut = font.lfStrikeOut;
        wide.lfCharSet = font.lfCharSet;
        wide.lfOutPrecision = font.lfOutPrecision;
        wide.lfClipPrecision = font.lfClipPrecision;
        wide.lfQuality = font.lfQuality;
        wide.lfPitchAndFamily = font.lfPitchAndFamily;
        const std::wstring wideFace = Wide(face).substr(0, LF_FACESIZE - 1);
        std::copy(wideFace.begin(), wideFace.end(), wide.lfFaceName);
        return w->CreateFontIndirectW(&wide);
    }
    LOGFONTA narrow = font;
    lstrcpynA(narrow.lfFaceName, face.c_str(), LF_FACESIZE);
    return ::CreateFontIndirectA(&narrow);
}

int DrawText(HDC dc, const std::string& text, RECT& rect, UINT format)
{
    if (const WideFunctions* w = WideTable()) {
        const std::wstring wide = Wide(text);
        return w->DrawTextW(dc, wide.c_str(), LengthOf(wide.size()), &rect, format);
    }
    return ::DrawTextA(dc, text.c_str(), LengthOf(text.size()), &rect, format);
}

std::optional<std::string> BrowseForFolder(HWND owner, const std::string& title, UINT flags)
{
    if (const WideFunctions* w = WideTable()) {
        const std::wstring wideTitle = Wide(title);
        wchar_t name[MAX_PATH + 1] = {};
        BROWSEINFOW browse{};
        browse.hwndOwner = owner;
        browse.pszDisplayName = name;
        browse.lpszTitle = wideTitle.c_str();
        browse.ulFlags = flags;
        const ShellItemList item(w->SHBrowseForFolderW(&browse));
        if (!item.Get()) return std::nullopt;
        std::string path = PathFromIDList(item.Get());
        if (path.empty()) return std::nullopt;
        return path;
    }
    char name[MAX_PATH + 1] = {};
    BROWSEINFOA browse{};
    browse.hwndOwner = owner;
    browse.pszDisplayName = name;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = flags;
    const ShellItemList item(::SHBrowseForFolderA(&browse));
    if (!item.Get()) return std::nullopt;
    std::string path = PathFromIDList(item.Get());
    if (path.empty()) return std::nullopt;
    return path;
}

} // namespace os
