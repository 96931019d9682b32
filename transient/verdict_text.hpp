// A time step's verdicts and what the run then did, in words a student
// follows: the one source of those sentences for the report of
// convdiff-transient and the Time tab's banner.
#pragma once

#include <string>

#include "run.hpp"

namespace transient {

// "1e6", "0.8333", "-2.5e-5": up to `digits` significant digits, the
// exponent without padding.
std::string Short(double value, int digits = 4);

// The stability of the step: "stable: ...", "unstable: ...", or for a
// limiter "TVD at this step: ..." / "not TVD at this step: ...", with the
// largest step that passes where the step fails.
std::string StabilityWords(const Plan& plan, const SchemeOutcome& s);
// Positivity (linear schemes): "positive on both sides: ..." or "not
// positive: ..."; empty for a limiter, whose TVD condition says it.
std::string PositivityWords(const SchemeOutcome& s);
// The steady equations' own fault, where they are singular or nearly so:
// a mode that no step damps. Empty otherwise.
std::string SingularWords(const Plan& plan, const SchemeOutcome& s);

// What the run did: "blew up at t = 2.18 s (step 218)", "stopped at t =
// 0.2 s (step 16): its iterations did not converge (...)", "bounded at every
// frame", "new extrema down to -0.007; variation grew x38"; and where that
// contradicts the verdict, a sentence that says so and why.
std::string RunWords(const Outcome& out, const SchemeOutcome& s);
std::string ContradictionWords(const Outcome& out, const SchemeOutcome& s);

// Whether the run broke a promise of the verdict: new extrema or a growing
// variation after a positive or TVD verdict, a blow-up after a stable one.
bool Contradicts(const Outcome& out, const SchemeOutcome& s);
// New extrema beyond rounding: below `out.lowest` or above `out.highest`.
bool NewExtrema(const Outcome& out, const SchemeOutcome& s);
// The variation grew beyond rounding over the run.
bool VariationGrew(const SchemeOutcome& s);

}  // namespace transient
