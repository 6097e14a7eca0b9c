#pragma once

#include <cstddef>

// The program-wide log sink. Every line goes through this one printf-style function;
// formats start with "[%04x] " and the calling thread's id (currentThreadId()).
// Safe from any thread: a line is formatted first and written with one write call,
// so lines never interleave. A trailing "\n" in the format is optional.
extern "C" void idbg_api(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// The calling thread's id as the operating system knows it (gettid / GetCurrentThreadId).
unsigned long currentThreadId();

// Where idbg_api writes; by default "<application data folder>Logs/Tarsa.log".
// Tests point it elsewhere; an empty path restores the default.
void setLogFilePath(const char *path);
const char *logFilePath();

// Rotation: when the file grows past maxBytes it is renamed to ".1" (older ones shift up)
// and at most keepFiles old files are kept.
void setLogRotation(std::size_t maxBytes, int keepFiles);

// Writes bytes to the log file without locking or allocating; for the crash handler only.
void logWriteRawUnsafe(const char *data, std::size_t size);

// The first argument of every log line: the calling thread's id, as "[%04x]" expects it.
inline unsigned logTid()
{
    return static_cast<unsigned>(currentThreadId());
}
