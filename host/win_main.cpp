#include "host/entry.h"

// The runtime's start-up calls this; the command line is read again, as bytes, by the entry itself.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SaverEntry();
}
