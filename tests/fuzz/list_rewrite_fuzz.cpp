// Applies pending edits to arbitrary bytes as "urls.txt", with one system call made to fail, and
// checks that the list file is then either untouched or a list whose count line agrees with the
// entries it holds, every line end CR LF.
//
// Input: a byte naming the call to fail (none past the last kind), a byte for which of its calls
// fails (low six bits) and whether the delete and the modify are marked as chosen (high bits),
// the eight pending texts each ended by a NUL byte, then the list file's bytes.
#include "fuzz_folder.h"

#include "common/decimal.h"
#include "locations/list_rewrite.h"
#include "platform/posix/standin.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const int kFieldCount = 8;

// Takes the next NUL-ended text of the input into field, cut to fit it.
void TakeField(const uint8_t** data, size_t* size, char* field, size_t fieldSize) {
    const uint8_t* end = static_cast<const uint8_t*>(memchr(*data, 0, *size));
    size_t length = end ? static_cast<size_t>(end - *data) : *size;
    size_t kept = length < fieldSize - 1 ? length : fieldSize - 1;
    memcpy(field, *data, kept);
    field[kept] = '\0';
    size_t used = end ? length + 1 : length;
    *data += used;
    *size -= used;
}

// True when bytes is a list as a rewrite writes it: every line end CR LF, no CR elsewhere, no
// Ctrl-Z, and after the count line exactly the lines of count entries (the last one's address
// line may be missing or unterminated, as it was in the file it came from).
bool IsAgreeingList(const std::string& bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == 0x1A)
            return false;
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))
            return false;
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            return false;
    }
    size_t countEnd = bytes.find("\r\n");
    std::string countLine = bytes.substr(0, countEnd).substr(0, 4);
    int count = ParseDecimal(countLine.c_str());
    if (count < 0)
        return false;
    size_t lines = 0;
    if (countEnd != std::string::npos) {
        for (size_t at = countEnd + 2; at < bytes.size(); ++lines) {
            size_t end = bytes.find("\r\n", at);
            at = end == std::string::npos ? bytes.size() : end + 2;
        }
    }
    return lines == 2u * count || lines + 1 == 2u * count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnterFuzzFolder();
    const int kinds = static_cast<int>(standin::Call::Count);
    int failing = size > 0 ? data[0] % (kinds + 1) : kinds;
    int nth = size > 1 ? data[1] % 64 + 1 : 1;
    // The high bits of the same byte: the entries marked as chosen, as the dialog marks them.
    bool deleteChosen = size > 1 && (data[1] & 0x40) != 0;
    bool modifyChosen = size > 1 && (data[1] & 0x80) != 0;
    size_t skip = size < 2 ? size : 2;
    data += skip;
    size -= skip;

    char* fields[kFieldCount] = {pendingEdit.addDescription,       pendingEdit.addAddress,
                                 pendingEdit.deleteDescription,    pendingEdit.deleteAddress,
                                 pendingEdit.modifyOldDescription, pendingEdit.modifyOldAddress,
                                 pendingEdit.modifyNewDescription, pendingEdit.modifyNewAddress};
    const size_t sizes[kFieldCount] = {
        sizeof pendingEdit.addDescription,       sizeof pendingEdit.addAddress,
        sizeof pendingEdit.deleteDescription,    sizeof pendingEdit.deleteAddress,
        sizeof pendingEdit.modifyOldDescription, sizeof pendingEdit.modifyOldAddress,
        sizeof pendingEdit.modifyNewDescription, sizeof pendingEdit.modifyNewAddress};
    for (int i = 0; i < kFieldCount; ++i)
        TakeField(&data, &size, fields[i], sizes[i]);
    pendingEdit.deleteChosen = deleteChosen;
    pendingEdit.modifyChosen = modifyChosen;

    WriteFuzzFile("urls.txt", data, size);
    remove("urls.tmp");
    if (failing < kinds)
        standin::FailCall(static_cast<standin::Call>(failing), nth);

    int result = ApplyPendingEdits();
    if (result != 0 && result != 1 && result != kListFull)
        abort();

    std::string before(reinterpret_cast<const char*>(data), size);
    std::string after = ReadFuzzFile("urls.txt");
    if (after != before && !IsAgreeingList(after))
        abort();
    static const PendingEdit empty = {};
    if (memcmp(&pendingEdit, &empty, sizeof empty) != 0 || standin::OpenFiles() != 0)
        abort();
    // Only a failed deletion of "urls.tmp" may leave it behind.
    FILE* temp = fopen("urls.tmp", "rb");
    if (temp) {
        fclose(temp);
        if (failing != static_cast<int>(standin::Call::DeleteFile))
            abort();
    }
    return 0;
}
