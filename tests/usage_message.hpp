// For the command-line tests: the usage error a parser raises for some
// arguments, or "(accepted)".
#pragma once

#include <string>
#include <vector>

#include "cli/command_line.hpp"

template <class Parser>
std::string UsageMessageOf(Parser parse, const std::vector<std::string>& args) {
    try {
        parse(args);
    } catch (const cli::UsageError& e) {
        return e.what();
    }
    return "(accepted)";
}
