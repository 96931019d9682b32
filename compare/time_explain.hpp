// What a time step means for the ticked schemes, in words a student
// follows, for the Time tab's banner: which are unstable at this step (and
// the largest stable step), which are not TVD, which may ring, which are
// fine; then, once the run has ended, what each run did, and where it
// contradicts its verdict.
#pragma once

#include <QString>
#include <vector>

#include "transient/run.hpp"

namespace compare {

enum class Standing { Unstable, NotTvd, MayRing, Fine };

// Unstable when a stability test fails (von Neumann's or this grid's
// matrix); not TVD when a limiter's TVD condition fails (its step can make
// new extrema that grow); may ring when stable but not positive on both
// sides, or when the steady equations are singular; fine otherwise.
Standing StandingOf(const transient::Verdict& v);

// The banner's text from the verdicts in `outcome` (each scheme's, in plan
// order); with `ended`, the run's record too, and no scheme is called fine
// whose run grew or contradicted its verdict.
QString StabilityText(const transient::Plan& plan, const transient::Outcome& outcome, bool ended);

}  // namespace compare
