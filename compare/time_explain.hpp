// What a time step means for the ticked schemes, in words a student
// follows, for the Time tab's banner: which are unstable at this step (and
// the largest stable step), which may ring, which are fine, and which blew
// up and where.
#pragma once

#include <QString>
#include <vector>

#include "transient/run.hpp"

namespace compare {

enum class Standing { Unstable, MayRing, Fine };

// Unstable when von Neumann's test fails; may ring when it passes but the
// explicit part has a negative coefficient, or when a limiter's TVD
// condition fails (its step may make new extrema); fine otherwise.
Standing StandingOf(const transient::Verdict& v);

struct SchemeVerdict {
    study::Scheme scheme{};
    transient::Verdict verdict;
};

// The banner's text: the three groups, then a line for each scheme that
// blew up (from `outcome`, once the run has ended, or as the frames found).
QString StabilityText(const std::vector<SchemeVerdict>& verdicts, const transient::Numbers& numbers, double theta,
                      const std::vector<transient::SchemeOutcome>& blowUps);

}  // namespace compare
