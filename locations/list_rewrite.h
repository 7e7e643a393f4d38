// Adding, deleting and modifying saved locations. The list is never edited in memory: each
// rewrite reads "urls.txt" afresh, writes the whole new list to "urls.tmp" and then puts
// "urls.tmp" in the place of "urls.txt" in one step, so the list on disk is always either the
// old one or the complete new one.
#pragma once

#include "locations/location_list.h"

// The size of a typed text: the added entry's texts and a modification's new texts.
const int kPendingTextSize = 200;

// AddLocation's result, and so ApplyPendingEdits's, when the list already holds this many entries
// and the add was refused.
const int kListFull = 99;

// The one pending add, delete and modify that the Edit Locations dialog collects. An add is
// pending when addDescription is not empty. A delete or modify is pending when its old
// description is not empty, or when the dialog marks the entry as chosen: an entry whose
// description is empty can be deleted and modified too.
// The entry to delete or modify is named by its description and its address together, as the
// dialog's table holds them, so the fields are as wide as the table's. The new address is as
// wide as well, so that a modify that keeps a long address keeps it whole.
struct PendingEdit {
    char addDescription[kPendingTextSize];
    char addAddress[kPendingTextSize];
    char deleteDescription[kMaxDescription + 1];
    char deleteAddress[kMaxAddress + 1];
    char modifyOldDescription[kMaxDescription + 1];
    char modifyOldAddress[kMaxAddress + 1];
    char modifyNewDescription[kPendingTextSize];
    char modifyNewAddress[kMaxAddress + 1];
    bool deleteChosen;
    bool modifyChosen;
};

// The process's one pending edit: empty at start and after every ApplyPendingEdits.
extern PendingEdit pendingEdit;

// Runs the pending delete, then the pending modify, then the pending add, each on the list the
// one before left; deletes "urls.tmp" and empties pendingEdit, whatever failed. Returns
// AddLocation's result when an add was pending, otherwise 0.
int ApplyPendingEdits();

// The three rewrites, run by ApplyPendingEdits alone. Each returns 0 after a box when a file
// can't be opened, read or written (the list then stays as it was), and 1 otherwise, also when
// the replacement of the list failed after its box or when nothing needed to change. AddLocation
// returns kListFull, changing nothing, when the list already holds kListFull entries.
//
// AddLocation puts the new entry first. DeleteLocation drops the first entry whose description
// and address both equal the pending ones. ModifyLocation replaces every such entry and writes
// the count line back unchanged. A delete or modify that finds no such entry leaves the list
// file alone.
int AddLocation();
int DeleteLocation();
int ModifyLocation();
