// The sample product's shared component: a COM class that registers itself
// under HKEY_CLASSES_ROOT and removes exactly that again when unregistered.
#include <windows.h>

#include <initializer_list>

namespace {

HMODULE gModule = nullptr;

constexpr char kClassKey[] = "CLSID\\{6B1E5C2A-3F4D-4E8B-9A71-2C5D8E0F1A34}";
constexpr char kServerKey[] = "CLSID\\{6B1E5C2A-3F4D-4E8B-9A71-2C5D8E0F1A34}\\InprocServer32";
constexpr char kProgIdKey[] = "TesseraSample.Component";
constexpr char kProgIdClassKey[] = "TesseraSample.Component\\CLSID";

bool SetString(const char* keyPath, const char* name, const char* value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, keyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                       static_cast<DWORD>(lstrlenA(value) + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) gModule = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(gModule, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return E_FAIL;
    const bool written = SetString(kClassKey, nullptr, "Tessera Sample Component") &&
                         SetString(kServerKey, nullptr, path) && SetString(kServerKey, "ThreadingModel", "Apartment") &&
                         SetString(kProgIdKey, nullptr, "Tessera Sample Component") &&
                         SetString(kProgIdClassKey, nullptr, "{6B1E5C2A-3F4D-4E8B-9A71-2C5D8E0F1A34}");
    return written ? S_OK : E_FAIL;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllUnregisterServer()
{
    // Leaves first: a key with subkeys cannot be deleted by RegDeleteKeyA on the NT family.
    for (const char* key : {kServerKey, kClassKey, kProgIdClassKey, kProgIdKey}) RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
    return S_OK;
}
