#pragma once
// The named mutexes TESSAUTO looks at, in the global namespace: a deployment
// system runs it in session 0, a person's install runs in session 1 or later.

namespace tessauto {

// Held for a whole run: a second TESSAUTO answers 1618 while it is.
constexpr wchar_t kRunMutex[] = L"Global\\TESSAUTO_RUN";
// SETUP.EXE's single-instance mutex under each name it has: global from Windows
// 2000 on, the session's in an older SETUP.EXE.
constexpr const wchar_t* kSetupMutexNames[] = {L"Global\\TSRSETUP", L"TSRSETUP"};

} // namespace tessauto
