// The fuzz targets work on real files: each runs in a private folder made at its first input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Enters the target's folder (made once) and resets the Win32 stand-in.
void EnterFuzzFolder();

void WriteFuzzFile(const char* name, const uint8_t* data, size_t size);
std::string ReadFuzzFile(const char* name);
