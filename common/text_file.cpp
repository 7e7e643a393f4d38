#include "common/text_file.h"

#include <cstring>

namespace {

const char kCtrlZ = 0x1A;

bool Open(TextFile* file, const char* name, DWORD access, DWORD disposition) {
    memset(file, 0, sizeof *file);
    file->handle = CreateFileA(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file->handle != INVALID_HANDLE_VALUE;
}

// The next byte of the text, or -1 at its end. Carriage returns are dropped here.
int NextByte(TextFile* file) {
    for (;;) {
        if (file->atEnd)
            return -1;
        if (file->next == file->used) {
            DWORD read = 0;
            if (!ReadFile(file->handle, file->buffer, sizeof file->buffer, &read, nullptr))
                file->failed = true;
            file->used = read;
            file->next = 0;
            if (read == 0) {
                file->atEnd = true;
                return -1;
            }
        }
        char c = file->buffer[file->next++];
        if (c == kCtrlZ) {
            file->atEnd = true;
            return -1;
        }
        if (c != '\r')
            return static_cast<unsigned char>(c);
    }
}

bool WriteOut(TextFile* file) {
    DWORD written = 0;
    if (file->used && (!WriteFile(file->handle, file->buffer, file->used, &written, nullptr) ||
                       written != file->used))
        file->failed = true;
    file->used = 0;
    return !file->failed;
}

void PutByte(TextFile* file, char c) {
    if (file->used == sizeof file->buffer)
        WriteOut(file);
    file->buffer[file->used++] = c;
}

} // namespace

bool OpenTextForReading(TextFile* file, const char* name) {
    return Open(file, name, GENERIC_READ, OPEN_EXISTING);
}

bool OpenTextForWriting(TextFile* file, const char* name) {
    return Open(file, name, GENERIC_WRITE, CREATE_ALWAYS);
}

bool ReadTextChunk(TextFile* file, char* chunk, size_t size) {
    size_t length = 0;
    while (length + 1 < size) {
        int c = NextByte(file);
        if (c < 0)
            break;
        chunk[length++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    if (size)
        chunk[length] = '\0';
    return length > 0;
}

bool ReadTextLine(TextFile* file, char* line, size_t size, bool* ended) {
    size_t length = 0;
    bool any = false;
    bool lineEnd = false;
    for (int c; (c = NextByte(file)) >= 0;) {
        any = true;
        if (c == '\n') {
            lineEnd = true;
            break;
        }
        if (length + 1 < size)
            line[length++] = static_cast<char>(c);
    }
    if (size)
        line[length] = '\0';
    if (ended)
        *ended = lineEnd;
    return any;
}

bool CopyTextLine(TextFile* from, TextFile* to) {
    bool any = false;
    for (int c; (c = NextByte(from)) >= 0;) {
        any = true;
        if (c == '\n') {
            PutByte(to, '\r');
            PutByte(to, '\n');
            break;
        }
        PutByte(to, static_cast<char>(c));
    }
    return any;
}

void WriteText(TextFile* file, const char* text) {
    for (; *text; ++text) {
        if (*text == '\n')
            PutByte(file, '\r');
        PutByte(file, *text);
    }
}

void CloseTextFile(TextFile* file) {
    CloseHandle(file->handle);
    file->handle = INVALID_HANDLE_VALUE;
}

bool FinishTextFile(TextFile* file, bool commit) {
    WriteOut(file);
    if (commit && !file->failed && !FlushFileBuffers(file->handle))
        file->failed = true;
    if (!CloseHandle(file->handle))
        file->failed = true;
    file->handle = INVALID_HANDLE_VALUE;
    return !file->failed;
}
