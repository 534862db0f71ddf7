#pragma once

// quorvane-mix: the window's combination from the command line. Runs one
// command and returns the process exit status: 0 on success, 1 when a file
// cannot be read or written, 2 for a bad command line.

#include <iosfwd>
#include <string>
#include <vector>

inline constexpr int kExitFileError = 1;
inline constexpr int kExitUsageError = 2;

int RunMixTool(const std::vector<std::string>& Arguments, std::ostream& Out, std::ostream& Err);
