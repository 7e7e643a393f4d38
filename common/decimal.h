// Numbers as the program's files hold them.
#pragma once

#include <cstddef>

// The standard atoi rule: leading white space, an optional sign, the digits up to the first
// other character; no digits give 0. A number beyond the range of int gives INT_MAX or INT_MIN.
int ParseDecimal(const char* text);

// Plain decimal, with a minus sign when negative. Needs 21 bytes for any value.
void FormatDecimal(long long value, char* text, size_t size);
