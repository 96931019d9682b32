// The command line of convdiff-transient: the problem, the initial state,
// the time stepping, the schemes, and where to write what.
#pragma once

#include <string>
#include <vector>

#include "cli/options.hpp"
#include "transient/run.hpp"

namespace cli {

struct TransientOptions {
    transient::Plan plan;
    std::string historyFile, errorsFile, stabilityFile, outcomeFile, plotFile, spaceTimePlotFile;
    std::string handoutFile;  // one PDF of the run: frames, space-time picture, verdicts
    std::vector<std::string> notes;  // about the choice of schemes or of the step
    bool report = true;              // false when a table goes to standard output alone
    bool help = false;
    bool version = false;
};

// Reads the arguments after the program's name. Raises UsageError, whose
// message names the option and its value.
TransientOptions ParseTransient(const std::vector<std::string>& args);

extern const char* const kTransientUsage;

}  // namespace cli
