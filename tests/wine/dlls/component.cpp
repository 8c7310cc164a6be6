// A self-registering component for tests: each entry point counts its calls in
// HKCU\Software\TesseraTests (value "<name>.register" / "<name>.unregister")
// and returns REGISTRATION_RESULT; each load into a process counts as "<name>.load".
// Built with NEEDS_SIBLING, it imports a function of sibling.dll, which the
// system must find for it to load at all.
#include <windows.h>

#ifdef NEEDS_SIBLING
extern "C" __declspec(dllimport) int SiblingValue();
#endif

namespace {

void CountCall(const char* entry)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\TesseraTests", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    char name[128];
    wsprintfA(name, "%s.%s", COMPONENT_NAME, entry);
    DWORD count = 0, size = sizeof count;
    RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&count), &size);
    ++count;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
    RegCloseKey(key);
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) CountCall("load");
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer()
{
#ifdef NEEDS_SIBLING
    if (SiblingValue() != 42) return E_FAIL;
#endif
    CountCall("register");
    return REGISTRATION_RESULT;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllUnregisterServer()
{
    CountCall("unregister");
    return REGISTRATION_RESULT;
}
