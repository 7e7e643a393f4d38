#include "common/message_boxes.h"

#include "common/decimal.h"

#include <cstring>

namespace {

const char kProgramCaption[] = "Halvorn";
const DWORD kUserDefaultLanguage = 1024;

} // namespace

void ShowFailureBox(const char* text) {
    MessageBoxA(nullptr, text, kProgramCaption, MB_OK | MB_ICONWARNING | MB_SYSTEMMODAL);
}

void ShowDataBox(const char* data, const char* caption) {
    MessageBoxA(nullptr, data, caption, MB_OK | MB_ICONINFORMATION | MB_SYSTEMMODAL);
}

void ShowLimitBox(const char* text, const char* caption) {
    MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONWARNING | MB_SYSTEMMODAL);
}

void ShowLastErrorBox(const char* caption) {
    DWORD code = GetLastError();
    char* systemText = nullptr;
    // Inserts are ignored: a message that expects arguments must not read any.
    DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, kUserDefaultLanguage, reinterpret_cast<LPSTR>(&systemText), 0, nullptr);
    if (length && systemText) {
        MessageBoxA(nullptr, systemText, caption, MB_OK | MB_ICONINFORMATION);
    } else {
        char text[32] = "Error ";
        FormatDecimal(code, text + strlen(text), sizeof text - strlen(text));
        MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONINFORMATION);
    }
    if (systemText)
        LocalFree(systemText);
}

void ShowRegistryErrorBox(LONG result, const char* caption) {
    SetLastError(static_cast<DWORD>(result));
    ShowLastErrorBox(caption);
}
