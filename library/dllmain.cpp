#include <windows.h>

#include "sync/slots.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            quillaby::initSlots();
            break;
        case DLL_PROCESS_DETACH:
            quillaby::deleteSlots();
            break;
        default:
            break;
    }
    return TRUE;
}
