// One line of text per call, to standard error and to the --log-file.
#pragma once

#include <string>

namespace host {

void log(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void logLine(const std::string& line);
// Also copy every line to this file (appended). Empty path: stop copying.
bool setLogFile(const std::string& path);

}  // namespace host
