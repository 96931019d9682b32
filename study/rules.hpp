// The rules for a valid problem, one set for every program and window: what
// each input may be, and which problems have no unique steady solution.
#pragma once

#include <optional>
#include <string>

#include "problem.hpp"

namespace study {

enum class Use { Steady, Transient };

// An input that breaks a rule: which one ("L", "rho", "gamma", "sp",
// "left", "right", "periodic") and why, in words a student can act on.
struct Fault {
    std::string input;
    std::string reason;
};

// The first rule the problem breaks, or nothing. A steady solve needs
// Gamma > 0, ends (no periodic problem) and one end that fixes phi (a value
// or a Robin wall) unless Sp < 0; a time run needs Gamma >= 0 only.
std::optional<Fault> Unusable(const Problem& p, Use use);

}  // namespace study
