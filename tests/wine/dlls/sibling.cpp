// The dependency of the test component regdep.dll, found only where the
// system is allowed to look for it.
extern "C" __declspec(dllexport) int SiblingValue() { return 42; }
