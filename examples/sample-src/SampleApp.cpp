// The sample product's program: greets the user and counts its runs in the
// settings key that the setup script creates (and the uninstall deletes).
#include <windows.h>

#include <cstring>

namespace {

void CountRun()
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\TesseraSample\\Settings", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    DWORD runs = 0, size = sizeof runs;
    RegQueryValueExA(key, "Runs", nullptr, nullptr, reinterpret_cast<BYTE*>(&runs), &size);
    ++runs;
    RegSetValueExA(key, "Runs", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&runs), sizeof runs);
    RegCloseKey(key);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    CountRun();
    // Started by the setup at the end of the install with /first.
    const char* text = std::strstr(commandLine, "/first") ? "インストールありがとうございます．\rTessera サンプルをお楽しみください．"
                                                          : "Tessera サンプルです．";
    MessageBoxA(nullptr, text, "Tessera サンプル", MB_OK | MB_ICONINFORMATION);
    return 0;
}
