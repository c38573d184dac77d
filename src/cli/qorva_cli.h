// The `qorva` command: creates a control with parameters and calls its scripting
// interface by name, through the same dispatch table the COM server uses.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qorva {

// Runs the command with `args` (without the program name). Results go to `out`,
// message boxes and errors to `err`. Returns the exit status: 0 when the calls ran,
// 2 for a usage error, 1 when a file could not be read or written.
int RunQorvaCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qorva
