#include "locations/list_rewrite.h"

#include "common/decimal.h"
#include "common/message_boxes.h"
#include "common/text_file.h"

#include <cstring>

PendingEdit pendingEdit;

namespace {

const char kListFile[] = "urls.txt";
const char kTempFile[] = "urls.tmp";
const char kListFailure[] = "Failed to open URLS.LST";
const char kTempOpenFailure[] = "Failed to open URLS.TMP";
const char kTempWriteFailure[] = "Failed to write URLS.TMP";
const char kCopyFailureCaption[] = "Copy Failed";
const int kCountLineLength = 4;

enum class Edit { Add, Delete, Modify };

// What the first reading of the list found.
struct Survey {
    int count;   // the count line's value
    int entries; // the entries the file holds, as the load reads them: at most count
    int match;   // the first entry named by the pending description and address, or -1
};

// Readers of "urls.txt": one surveys the list before anything is written, one copies it, and
// for a modify one more looks at each entry just before it is copied, since the copy must see a
// line of any length whole while the comparison only needs its start. All are opened together
// so that they read the same file.
const int kSurveyReader = 0;
const int kCopyReader = 1;
const int kLookReader = 2;
const int kMaxReaders = 3;

void TerminatePendingEdit() {
    pendingEdit.addDescription[sizeof pendingEdit.addDescription - 1] = '\0';
    pendingEdit.addAddress[sizeof pendingEdit.addAddress - 1] = '\0';
    pendingEdit.deleteDescription[sizeof pendingEdit.deleteDescription - 1] = '\0';
    pendingEdit.deleteAddress[sizeof pendingEdit.deleteAddress - 1] = '\0';
    pendingEdit.modifyOldDescription[sizeof pendingEdit.modifyOldDescription - 1] = '\0';
    pendingEdit.modifyOldAddress[sizeof pendingEdit.modifyOldAddress - 1] = '\0';
    pendingEdit.modifyNewDescription[sizeof pendingEdit.modifyNewDescription - 1] = '\0';
    pendingEdit.modifyNewAddress[sizeof pendingEdit.modifyNewAddress - 1] = '\0';
}

void SkipLine(TextFile* file) {
    char none[1];
    ReadTextLine(file, none, sizeof none);
}

// Reads the next line whole and tells whether it equals text, line end aside. The texts
// compared hold at most kMaxAddress characters, so a longer line, kept cut here, equals none.
// Returns false when the file has no more lines.
bool ReadLineEqualTo(TextFile* file, const char* text, bool* equal) {
    char line[kMaxAddress + 2];
    bool any = ReadTextLine(file, line, sizeof line);
    *equal = strcmp(line, text) == 0;
    return any;
}

// Reads the next entry as the load does: it is there when its description line is; a missing
// address line reads as empty. Tells whether both texts equal the given ones.
bool ReadEntryEqualTo(TextFile* file, const char* description, const char* address, bool* equal) {
    bool descriptionEqual = false;
    bool addressEqual = false;
    if (!ReadLineEqualTo(file, description, &descriptionEqual))
        return false;
    ReadLineEqualTo(file, address, &addressEqual);
    *equal = descriptionEqual && addressEqual;
    return true;
}

void SurveyList(TextFile* list, const char* description, const char* address, Survey* survey) {
    char countLine[kCountLineLength + 1];
    ReadTextLine(list, countLine, sizeof countLine);
    survey->count = ParseDecimal(countLine);
    survey->entries = 0;
    survey->match = -1;
    bool equal = false;
    while (survey->entries < survey->count &&
           ReadEntryEqualTo(list, description, address, &equal)) {
        if (equal && survey->match < 0)
            survey->match = survey->entries;
        ++survey->entries;
    }
}

// Writes a typed text as one line. Only what comes before a line break or a Ctrl-Z is taken,
// as anything after it would make lines of its own or end the file.
void WriteTypedLine(TextFile* file, const char* text) {
    char line[kMaxAddress + 1];
    size_t length = strcspn(text, "\r\n\x1A");
    if (length >= sizeof line)
        length = sizeof line - 1;
    memcpy(line, text, length);
    line[length] = '\0';
    WriteText(file, line);
    WriteText(file, "\n");
}

void WriteCountLine(TextFile* file, int count) {
    char text[24];
    FormatDecimal(count, text, sizeof text);
    WriteText(file, text);
    WriteText(file, "\n");
}

// Writes the new list to temp: the count line, then the entries. Lines that stay are copied
// whole, whatever their length, each line end becoming CR LF and a last line without one
// staying without.
void WriteNewList(Edit edit, const Survey& survey, TextFile* readers, TextFile* temp) {
    TextFile* list = &readers[kCopyReader];
    TextFile* look = edit == Edit::Modify ? &readers[kLookReader] : nullptr;

    if (edit == Edit::Modify && survey.entries == survey.count) {
        CopyTextLine(list, temp);
    } else {
        SkipLine(list);
        int entries = survey.entries;
        if (edit == Edit::Add)
            ++entries;
        else if (edit == Edit::Delete)
            --entries;
        WriteCountLine(temp, entries);
    }
    if (look)
        SkipLine(look);

    if (edit == Edit::Add) {
        WriteTypedLine(temp, pendingEdit.addDescription);
        WriteTypedLine(temp, pendingEdit.addAddress);
    }
    for (int i = 0; i < survey.entries; ++i) {
        bool replace = false;
        if (look)
            ReadEntryEqualTo(look, pendingEdit.modifyOldDescription, pendingEdit.modifyOldAddress,
                             &replace);
        if (replace || (edit == Edit::Delete && i == survey.match)) {
            SkipLine(list);
            SkipLine(list);
            if (replace) {
                WriteTypedLine(temp, pendingEdit.modifyNewDescription);
                WriteTypedLine(temp, pendingEdit.modifyNewAddress);
            }
        } else {
            CopyTextLine(list, temp);
            CopyTextLine(list, temp);
        }
    }
}

bool OpenReaders(TextFile* readers, int count) {
    for (int i = 0; i < count; ++i) {
        if (!OpenTextForReading(&readers[i], kListFile)) {
            for (int j = 0; j < i; ++j)
                CloseTextFile(&readers[j]);
            return false;
        }
    }
    return true;
}

// Closes the readers. Returns false when any of them failed to read, so that it may have taken
// a failed read for the end of the file.
bool CloseReaders(TextFile* readers, int count) {
    bool read = true;
    for (int i = 0; i < count; ++i) {
        if (readers[i].failed)
            read = false;
        CloseTextFile(&readers[i]);
    }
    return read;
}

// Puts the complete "urls.tmp" in the place of "urls.txt", in one step where the system can.
// Windows 95, 98 and Me answer MoveFileExA with ERROR_CALL_NOT_IMPLEMENTED: there the old list
// is removed first and the new one renamed after it. Between the two, and after a failed rename,
// "urls.tmp" holds the only list, complete on disk, and the next load of the list takes it.
bool ReplaceList() {
    if (MoveFileExA(kTempFile, kListFile, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
        return false;
    return DeleteFileA(kListFile) && MoveFileA(kTempFile, kListFile);
}

int RewriteList(Edit edit, const char* copyFailureText) {
    TerminatePendingEdit();
    const char* description = "";
    const char* address = "";
    if (edit == Edit::Delete) {
        description = pendingEdit.deleteDescription;
        address = pendingEdit.deleteAddress;
    } else if (edit == Edit::Modify) {
        description = pendingEdit.modifyOldDescription;
        address = pendingEdit.modifyOldAddress;
    }

    TextFile readers[kMaxReaders];
    int readerCount = edit == Edit::Modify ? kMaxReaders : kMaxReaders - 1;
    if (!OpenReaders(readers, readerCount)) {
        ShowFailureBox(kListFailure);
        return 0;
    }
    TextFile temp;
    if (!OpenTextForWriting(&temp, kTempFile)) {
        ShowFailureBox(kTempOpenFailure);
        CloseReaders(readers, readerCount);
        return 0;
    }

    // The count line must agree with the entries written, so they are counted before it is.
    Survey survey;
    SurveyList(&readers[kSurveyReader], description, address, &survey);
    bool full = edit == Edit::Add && survey.entries == kListFull;
    bool nothingToChange = edit != Edit::Add && survey.match < 0;
    if (readers[kSurveyReader].failed || full || nothingToChange) {
        bool read = CloseReaders(readers, readerCount);
        CloseTextFile(&temp);
        if (!read) {
            ShowFailureBox(kListFailure);
            return 0;
        }
        return full ? kListFull : 1;
    }

    WriteNewList(edit, survey, readers, &temp);
    bool read = CloseReaders(readers, readerCount);
    bool written = FinishTextFile(&temp, /*commit=*/true);
    if (!read) {
        ShowFailureBox(kListFailure);
        return 0;
    }
    if (!written) {
        ShowFailureBox(kTempWriteFailure);
        return 0;
    }
    if (!ReplaceList())
        ShowLimitBox(copyFailureText, kCopyFailureCaption);
    return 1;
}

} // namespace

int AddLocation() {
    return RewriteList(Edit::Add, "urls.tmp to urls.txt (1)");
}

int DeleteLocation() {
    return RewriteList(Edit::Delete, "urls.tmp to urls.txt (2)");
}

int ModifyLocation() {
    return RewriteList(Edit::Modify, "urls.tmp to urls.txt (3)");
}

int ApplyPendingEdits() {
    TerminatePendingEdit();
    if (pendingEdit.deleteChosen || pendingEdit.deleteDescription[0])
        DeleteLocation();
    if (pendingEdit.modifyChosen || pendingEdit.modifyOldDescription[0])
        ModifyLocation();
    int result = 0;
    if (pendingEdit.addDescription[0])
        result = AddLocation();
    // Without "urls.txt", "urls.tmp" is the list itself (see ReplaceList): it is kept.
    if (GetFileAttributesA(kListFile) != INVALID_FILE_ATTRIBUTES)
        DeleteFileA(kTempFile);
    memset(&pendingEdit, 0, sizeof pendingEdit);
    return result;
}
