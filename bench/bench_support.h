// What the file-work benchmarks share: a folder of their own and a list of 99 entries.
#pragma once

#include <string>

// "urls.txt" of this many entries is the largest list the main window takes.
const int kBenchEntries = 99;

// The bytes of a list of kBenchEntries entries, "Site number <i>" and its address.
std::string SampleList();

// Enters the benchmarks' own folder, made at the first call.
void EnterBenchFolder();

// Writes list as "urls.txt" in the current folder.
void WriteList(const std::string& list);
