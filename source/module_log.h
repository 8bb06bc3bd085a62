#pragma once

// Prints one line on the host console, prefixed with the module's name; printf-style.
// Output beyond 1023 characters is cut.
void ModuleLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
