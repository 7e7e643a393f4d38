// Text files as the program keeps them: opened by bare name in the current directory, read and
// written in binary so that every build sees the same bytes. On reading, a line ends at its LF,
// carriage returns are no part of any text and a Ctrl-Z byte ends the file; on writing, every
// "\n" becomes CR LF.
#pragma once

#include "platform/win32.h"

#include <cstddef>

struct TextFile {
    HANDLE handle;
    bool failed; // a read, write or flush has failed since the file was opened
    bool atEnd;  // no more bytes: the end of the file or a Ctrl-Z
    DWORD used;  // bytes in buffer
    DWORD next;  // next unread byte of buffer (reading)
    char buffer[4096];
};

// Both return false, with the system's last-error code set, when the file can't be opened.
bool OpenTextForReading(TextFile* file, const char* name);
// Creates the file, or empties it when it exists.
bool OpenTextForWriting(TextFile* file, const char* name);

// Reads as the runtime's line read does: at most size - 1 characters, stopping after a line end,
// which is kept as "\n". A longer line is left for the following reads. Returns false, with
// chunk emptied, when no character was left to read.
bool ReadTextChunk(TextFile* file, char* chunk, size_t size);

// Reads one whole line. Keeps at most size - 1 of its characters, without the line end, and
// skips the rest, so a long line never spills into the next read. Returns false, with line
// emptied, when the file has no more lines; *ended tells whether the line had a line end.
bool ReadTextLine(TextFile* file, char* line, size_t size, bool* ended = nullptr);

// Copies the next line whole, whatever its length: a line end becomes CR LF, a last line
// without one stays without. Returns false when the file has no more lines.
bool CopyTextLine(TextFile* from, TextFile* to);

// Writes the text, each "\n" as CR LF. Failures are remembered in file->failed.
void WriteText(TextFile* file, const char* text);

// Closes a file opened for reading.
void CloseTextFile(TextFile* file);

// Writes out what is buffered and closes the file. With commit set, the data is also flushed to
// the disk first. Returns false when any write, the flush or the close failed.
bool FinishTextFile(TextFile* file, bool commit);
