#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tess::cli {

// Runs one command line (without the program name). Returns the exit status: 0 done,
// 1 failed (description on err), 2 bad usage.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        bool outIsTerminal = false);

} // namespace tess::cli
