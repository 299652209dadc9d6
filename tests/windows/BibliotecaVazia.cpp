// A DLL with none of the MySQL client functions: it stands where the client library is looked
// for, to show which names are tried and in what order.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
