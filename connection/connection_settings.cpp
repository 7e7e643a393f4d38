#include "connection/connection_settings.h"

#include "common/decimal.h"
#include "common/message_boxes.h"
#include "common/text_file.h"

ConnectionSettings connectionSettings = {1, 1, 3, "", 0};

namespace {

const char kDialFile[] = "dial.inf";
const char kDiscFile[] = "disc.inf";

// Room for two characters and a NUL: each value is one chunk of at most two characters.
const size_t kChunkSize = 3;

// Takes the next chunk of the file as a number; a file with nothing left leaves value as it was.
void ReadValue(TextFile* file, int* value) {
    char chunk[kChunkSize];
    if (ReadTextChunk(file, chunk, sizeof chunk))
        *value = ParseDecimal(chunk);
}

const char* SwitchLine(int value) {
    return value != 0 ? "1\n" : "0\n";
}

void WriteDialFile(TextFile* file) {
    WriteText(file, SwitchLine(connectionSettings.autoDial));
    WriteText(file, "first line 0 = autodial off\n");
    WriteText(file, "first line 1 = autodial on\n");
}

void WriteDiscFile(TextFile* file) {
    // The idle text goes out bare; its line end starts the piece of the first comment line.
    char idleText[kIdleMinutesTextLength + 1] = "";
    for (int i = 0; i < kIdleMinutesTextLength && connectionSettings.idleMinutesText[i]; ++i)
        idleText[i] = connectionSettings.idleMinutesText[i];
    WriteText(file, SwitchLine(connectionSettings.autoDisconnect));
    WriteText(file, idleText);
    WriteText(file, "\nfirst line 0 = autodisconnect off\n");
    WriteText(file, "first line 1 = autodisconnect on\n");
    WriteText(file, "second line  = number of idle minutes before disconnect\n");
}

} // namespace

bool ReadConnectionSettings() {
    TextFile dial;
    if (!OpenTextForReading(&dial, kDialFile)) {
        ShowFailureBox("Failed to open dial.inf - read");
        return false;
    }
    TextFile disc;
    if (!OpenTextForReading(&disc, kDiscFile)) {
        CloseTextFile(&dial);
        ShowFailureBox("Failed to open disc.inf - read");
        return false;
    }
    ReadValue(&dial, &connectionSettings.autoDial);
    ReadValue(&disc, &connectionSettings.autoDisconnect);
    ReadValue(&disc, &connectionSettings.idleMinutes);
    CloseTextFile(&dial);
    CloseTextFile(&disc);
    return true;
}

bool WriteConnectionSettings() {
    TextFile dial;
    if (!OpenTextForWriting(&dial, kDialFile)) {
        ShowFailureBox("Failed to open dial.inf - write");
        return false;
    }
    // Opening "dial.inf" has emptied it. Its new content is known whatever happens to
    // "disc.inf", so it is written whole even when "disc.inf" can't be opened.
    TextFile disc;
    bool discOpened = OpenTextForWriting(&disc, kDiscFile);
    WriteDialFile(&dial);
    if (discOpened)
        WriteDiscFile(&disc);
    bool dialWritten = FinishTextFile(&dial, false);
    bool discWritten = discOpened && FinishTextFile(&disc, false);

    if (!discOpened)
        ShowFailureBox("Failed to open disc.inf - write");
    if (!dialWritten)
        ShowFailureBox("Failed to write dial.inf");
    if (discOpened && !discWritten)
        ShowFailureBox("Failed to write disc.inf");
    return dialWritten && discWritten;
}
