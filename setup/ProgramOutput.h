#pragma once
#include <optional>
#include <string>
#include <vector>

namespace pw::setup {

// Runs `arguments` (no shell: arguments[0] is the program, found on PATH when
// it has no '/') with standard input and error on /dev/null and returns what
// it wrote to standard output, at most `maxBytes`. Nothing when the program
// cannot start, fails, or has not finished within `timeoutMs`; a program that
// overruns is killed, so a browser that opens a window instead of answering
// cannot hang the installation.
std::optional<std::string> ProgramOutput(const std::vector<std::string>& arguments,
                                         int timeoutMs = 10000, size_t maxBytes = 4096);

} // namespace pw::setup
