// The saved locations: the list file "urls.txt" and the table that one load of it fills.
//
// The file: a count line, then a description line and an address line for each entry.
#pragma once

#include "platform/win32.h"

// Longest texts an entry holds. A longer line in the file loads cut to these, and never moves
// the lines after it.
const int kMaxDescription = 199;
const int kMaxAddress = 299;

// The main window refuses a list of this many entries or more.
const int kLocationLimit = 100;

struct LocationEntry {
    char description[kMaxDescription + 1];
    char address[kMaxAddress + 1];
};

struct LocationTable {
    int count;              // the entries that the table holds
    HGLOBAL block;          // moveable global memory, locked while the table holds it
    LocationEntry* entries; // what GlobalLock returned for block
    bool present;           // the table holds a block
};

// Reads "urls.txt" into table, which must hold no block. Returns false after a box: the file
// can't be opened (the box shows openFailureText) or memory is short. With enforceLimit, a count
// of kLocationLimit or more shows "Location limit is 99." and ends the program with exit code 0.
// A count of 0 or less, or no count line, gives an empty table; a file shorter than its count
// gives the entries it holds.
bool LoadLocationList(LocationTable* table, const char* openFailureText, bool enforceLimit);

// Unlocks and frees the table's block, if it holds one.
void FreeLocationTable(LocationTable* table);
