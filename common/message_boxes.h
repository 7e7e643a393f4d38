// The program's message boxes. All have only an OK button and, but for the one version warning
// of the main window, no owner.
#pragma once

#include "platform/win32.h"

// A file or control can't be obtained, or memory is short: caption "Halvorn".
void ShowFailureBox(const char* text);

// Data the program can't use, shown as the box's text under a caption naming the failure.
void ShowDataBox(const char* data, const char* caption);

// Limits and copies, such as "Location limit is 99." under "Maximum Locations".
void ShowLimitBox(const char* text, const char* caption);

// The system's text for the calling thread's last-error code, under the given caption. When the
// system has no text for the code, the box gives the code in decimal.
void ShowLastErrorBox(const char* caption);

// A registry call failed with result: makes result the last error and shows it as above, so the
// box names the reason the call gave rather than whatever an earlier call left behind.
void ShowRegistryErrorBox(LONG result, const char* caption);
