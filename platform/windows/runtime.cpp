// The program's own start and the few C library functions it calls. The Windows builds link no C
// runtime, so tarsel.exe needs nothing but DLLs that every Windows has (msvcrt.dll is missing on
// the first Windows 95 releases). Nothing here runs static constructors: the program has none.
//
// This file is compiled with -fno-builtin and -fno-tree-loop-distribute-patterns, so that the
// compiler never turns these loops back into calls to the functions they implement.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstddef>

extern "C" {

void* memcpy(void* to, const void* from, size_t size) {
    auto* out = static_cast<unsigned char*>(to);
    const auto* in = static_cast<const unsigned char*>(from);
    while (size--)
        *out++ = *in++;
    return to;
}

void* memset(void* to, int value, size_t size) {
    auto* out = static_cast<unsigned char*>(to);
    while (size--)
        *out++ = static_cast<unsigned char>(value);
    return to;
}

int memcmp(const void* first, const void* second, size_t size) {
    const auto* a = static_cast<const unsigned char*>(first);
    const auto* b = static_cast<const unsigned char*>(second);
    for (; size; --size, ++a, ++b) {
        if (*a != *b)
            return *a - *b;
    }
    return 0;
}

void* memchr(const void* block, int value, size_t size) {
    const auto* in = static_cast<const unsigned char*>(block);
    for (; size; --size, ++in) {
        if (*in == static_cast<unsigned char>(value))
            return const_cast<unsigned char*>(in);
    }
    return nullptr;
}

size_t strnlen(const char* text, size_t most) {
    size_t length = 0;
    while (length < most && text[length])
        ++length;
    return length;
}

size_t strlen(const char* text) {
    return strnlen(text, static_cast<size_t>(-1));
}

int strcmp(const char* first, const char* second) {
    const auto* a = reinterpret_cast<const unsigned char*>(first);
    const auto* b = reinterpret_cast<const unsigned char*>(second);
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a - *b;
}

char* strchr(const char* text, int value) {
    for (;; ++text) {
        if (*text == static_cast<char>(value))
            return const_cast<char*>(text);
        if (!*text)
            return nullptr;
    }
}

size_t strcspn(const char* text, const char* stops) {
    size_t length = 0;
    while (text[length] && !strchr(stops, text[length]))
        ++length;
    return length;
}

char* strstr(const char* text, const char* part) {
    size_t length = strlen(part);
    for (; *text; ++text) {
        if (!memcmp(text, part, length))
            return const_cast<char*>(text);
    }
    return length ? nullptr : const_cast<char*>(text);
}

// Ends the process at once with the code: there are no atexit functions or open streams to see to.
void exit(int code) {
    ExitProcess(static_cast<UINT>(code));
}

// Where the system starts the program: WinMain gets the program's instance, the command line
// after the program's name, and SW_SHOWDEFAULT; what it returns is the exit code.
void WinMainCRTStartup() {
    const char* tail = GetCommandLineA();
    bool quoted = false;
    for (; *tail && (quoted || (*tail != ' ' && *tail != '\t')); ++tail) {
        if (*tail == '"')
            quoted = !quoted;
    }
    while (*tail == ' ' || *tail == '\t')
        ++tail;
    int code = WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(tail), SW_SHOWDEFAULT);
    ExitProcess(static_cast<UINT>(code));
}

} // extern "C"
