#pragma once

// The device-manager library of the original installation. The client calls it once at
// start and once at exit and never uses the interface; these replacements do nothing.
struct IZqDeviceManager;

long CreateDevMgr(IZqDeviceManager **out, const char *dataFolder, int value);
long ReleaseDevMgr();
