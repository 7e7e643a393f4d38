// The one include for Win32 in the portable code. On Windows it is <windows.h>; on the test
// host it declares the small stand-in that the native unit tests, fuzzers and benchmarks link.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include "platform/posix/win32_standin.h"
#endif
