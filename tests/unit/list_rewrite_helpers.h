// Shared by the tests of the list rewriting: pending edits written as values, and lists built
// from their lines.
#pragma once

#include "locations/list_rewrite.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// A pending edit as the Edit Locations dialog would leave it; empty texts mean nothing pending.
struct Edits {
    std::string addDescription, addAddress;
    std::string deleteDescription, deleteAddress;
    std::string modifyOldDescription, modifyOldAddress;
    std::string modifyNewDescription, modifyNewAddress;
    bool deleteChosen = false, modifyChosen = false;

    Edits Add(const std::string& description, const std::string& address) const {
        Edits edits = *this;
        edits.addDescription = description;
        edits.addAddress = address;
        return edits;
    }
    Edits Delete(const std::string& description, const std::string& address) const {
        Edits edits = *this;
        edits.deleteDescription = description;
        edits.deleteAddress = address;
        return edits;
    }
    // As the dialog leaves them: the entry marked as chosen, whatever its description.
    Edits DeleteChosen(const std::string& description, const std::string& address) const {
        Edits edits = Delete(description, address);
        edits.deleteChosen = true;
        return edits;
    }
    Edits ModifyChosen(const std::string& oldDescription, const std::string& oldAddress,
                       const std::string& newDescription, const std::string& newAddress) const {
        Edits edits = Modify(oldDescription, oldAddress, newDescription, newAddress);
        edits.modifyChosen = true;
        return edits;
    }
    Edits Modify(const std::string& oldDescription, const std::string& oldAddress,
                 const std::string& newDescription, const std::string& newAddress) const {
        Edits edits = *this;
        edits.modifyOldDescription = oldDescription;
        edits.modifyOldAddress = oldAddress;
        edits.modifyNewDescription = newDescription;
        edits.modifyNewAddress = newAddress;
        return edits;
    }
};

const Edits kNoEdits;

template <size_t N> void PutField(char (&field)[N], const std::string& text) {
    ASSERT_LT(text.size(), N) << text;
    memset(field, 0, N);
    memcpy(field, text.data(), text.size());
}

inline void SetPendingEdit(const Edits& edits) {
    PutField(pendingEdit.addDescription, edits.addDescription);
    PutField(pendingEdit.addAddress, edits.addAddress);
    PutField(pendingEdit.deleteDescription, edits.deleteDescription);
    PutField(pendingEdit.deleteAddress, edits.deleteAddress);
    PutField(pendingEdit.modifyOldDescription, edits.modifyOldDescription);
    PutField(pendingEdit.modifyOldAddress, edits.modifyOldAddress);
    PutField(pendingEdit.modifyNewDescription, edits.modifyNewDescription);
    PutField(pendingEdit.modifyNewAddress, edits.modifyNewAddress);
    pendingEdit.deleteChosen = edits.deleteChosen;
    pendingEdit.modifyChosen = edits.modifyChosen;
}

inline bool PendingEditIsEmpty() {
    static const PendingEdit empty = {};
    return memcmp(&pendingEdit, &empty, sizeof empty) == 0;
}

// Each line followed by CR LF.
inline std::string Lines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

// Entry i of a generated list: "Site i" and its address, padded to the given lengths.
inline std::string SiteDescription(int i, size_t length = 0) {
    std::string text = "Site " + std::to_string(i);
    text.resize(std::max(text.size(), length), '.');
    return text;
}

inline std::string SiteAddress(int i, size_t length = 0) {
    std::string text = "http://site" + std::to_string(i) + ".example/";
    text.resize(std::max(text.size(), length), 'x');
    return text;
}

// The lines of the given entries, first to last.
inline std::string SiteEntries(const std::vector<int>& sites, size_t descriptionLength = 0,
                               size_t addressLength = 0) {
    std::vector<std::string> lines;
    for (int i : sites) {
        lines.push_back(SiteDescription(i, descriptionLength));
        lines.push_back(SiteAddress(i, addressLength));
    }
    return Lines(lines);
}

// A list of the given entries with a count line that agrees.
inline std::string SiteList(const std::vector<int>& sites, size_t descriptionLength = 0,
                            size_t addressLength = 0) {
    return Lines({std::to_string(sites.size())}) +
           SiteEntries(sites, descriptionLength, addressLength);
}

inline std::vector<int> Range(int first, int count) {
    std::vector<int> sites;
    for (int i = 0; i < count; ++i)
        sites.push_back(first + i);
    return sites;
}
