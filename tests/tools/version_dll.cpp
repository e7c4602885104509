// A DLL that differs from its siblings only by its version resource
// (version_dll.rc), for tests of the replacement rules. Its registration
// entry points succeed without doing anything, so that it can stand in for
// a COM server.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

extern "C" __declspec(dllexport) HRESULT __stdcall DllRegisterServer() { return S_OK; }
extern "C" __declspec(dllexport) HRESULT __stdcall DllUnregisterServer() { return S_OK; }
