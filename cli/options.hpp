// The command line of convdiff-study: what to solve, and where to write it.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.hpp"
#include "study/numbers.hpp"
#include "study/study.hpp"

namespace cli {

struct Options {
    study::Problem problem;
    study::Plan plan;
    std::string nodesFile, errorsFile, plotFile, convergencePlotFile;
    std::string fluxesFile;  // every face's fluxes
    std::string limiterPlotFile;  // Sweby's diagram of the chosen limiters
    std::string handoutFile;      // one PDF of the problem, the charts and the errors
    std::vector<std::string> notes;  // what the report should say about the choice of schemes
    bool report = true;  // false when a table goes to standard output alone
    bool help = false;
    bool version = false;
};

// Kept for code that still reaches it here; it lives in the study.
using study::ReadStrictNumber;

// Reads the arguments after the program's name. Raises UsageError.
Options Parse(const std::vector<std::string>& args);

extern const char* const kUsage;

}  // namespace cli
