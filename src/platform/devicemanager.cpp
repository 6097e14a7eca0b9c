#include "devicemanager.h"

long CreateDevMgr(IZqDeviceManager **out, const char *dataFolder, int value)
{
    (void)dataFolder;
    (void)value;
    if (out)
        *out = nullptr;
    return 0;
}

long ReleaseDevMgr()
{
    return 0;
}
