// What the unit tests and the fuzz target share: each process works in a folder of its own, gone
// at its end, and every case starts there with no file, nothing pending and a fresh stand-in.
#pragma once

#include "locations/list_rewrite.h"

#include <filesystem>
#include <fstream>
#include <string>

inline char testFolder[] = "/tmp/tarsel-test-XXXXXX";
inline const int testFolderMade = (std::filesystem::current_path(mkdtemp(testFolder)),
                                   atexit([] { std::filesystem::remove_all(testFolder); }));

// The lines, each ended by CR LF, as the program writes them.
template <class... Texts> std::string Lines(const Texts&... lines) {
    return ((std::string(lines) + "\r\n") + ...);
}

inline std::string Repeat(int times, const std::string& text) {
    std::string all;
    while (times-- > 0)
        all += text;
    return all;
}

// Writes the file; "(none)" makes none.
inline void Put(const char* name, const std::string& bytes) {
    if (bytes != "(none)")
        std::ofstream(name, std::ios::binary) << bytes;
}

// The file's bytes, or "(none)".
inline std::string Get(const char* name) {
    std::ifstream file(name, std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "(none)";
}

// The last error is stale, as an earlier call may leave it: a box that shows the code of a call
// that set none would show it.
inline void Fresh() {
    for (const auto& file : std::filesystem::directory_iterator("."))
        std::filesystem::remove(file);
    standin::s = standin::State();
    SetLastError(ERROR_ACCESS_DENIED);
    pendingEdit = {};
}

struct Entry {
    std::string description, address;
};

// What the Edit Locations dialog collects; picked: the entry to delete was picked in the dialog.
struct Edit {
    Entry add, remove, modifyFrom, modifyTo;
    bool picked;
};

template <size_t size> void Copy(char (&field)[size], const std::string& text) {
    snprintf(field, size, "%s", text.c_str());
}

inline int Apply(const Edit& edit) {
    Copy(pendingEdit.addDescription, edit.add.description);
    Copy(pendingEdit.addAddress, edit.add.address);
    Copy(pendingEdit.deleteDescription, edit.remove.description);
    Copy(pendingEdit.deleteAddress, edit.remove.address);
    pendingEdit.deleteChosen = edit.picked;
    Copy(pendingEdit.modifyOldDescription, edit.modifyFrom.description);
    Copy(pendingEdit.modifyOldAddress, edit.modifyFrom.address);
    Copy(pendingEdit.modifyNewDescription, edit.modifyTo.description);
    Copy(pendingEdit.modifyNewAddress, edit.modifyTo.address);
    return ApplyPendingEdits();
}
