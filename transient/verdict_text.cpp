// The verdicts of a time step and the record of a run, in words.
#include "verdict_text.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

namespace transient {

namespace {

std::string Seconds(double t) { return Short(t) + " s"; }

// "steps up to dt = 0.005 s are stable." or "no step is stable with this
// time method.", starting with a capital where it starts a sentence.
std::string LargestStep(const std::optional<double>& dt, const char* what, bool capital = false) {
    std::string text = dt && *dt > 0 ? std::string("steps up to dt = ") + Seconds(*dt) + " are " + what + "."
                                     : std::string("no step is ") + what + " with this time method.";
    if (capital) text[0] = char(text[0] - 'a' + 'A');
    return text;
}

// The TVD condition as the method writes it, for the inflow row (`half`
// false: beta) or the interior rows (beta/2).
std::string TvdCondition(const Plan& plan, bool interior) {
    const std::string beta = interior ? "beta/2" : "beta";
    if (plan.method == Method::LaxWendroff) return "c (1 + (1 - c) " + beta + ") + 2d";
    if (plan.method != Method::Theta || plan.theta == 0) return "c (1 + " + beta + ") + 2d";
    return "(1 - theta)(c (1 + " + beta + ") + 2d)";
}

// Rounding's width around the range of the initial state and the ends.
double Rounding(const Outcome& out) {
    return 1e-9 * std::max({1.0, std::fabs(out.lowest), std::fabs(out.highest)});
}

// phi left its range by more than the range is wide: growth, not ringing.
bool Grew(const Outcome& out, const SchemeOutcome& s) {
    const double width = std::max(out.highest - out.lowest, Rounding(out));
    return s.blewUp || std::max(s.overshoot, s.undershoot) > width;
}

// A value just past a bound, as "1 + 3.2e-5" where four digits would show
// the bound itself.
std::string Beyond(double bound, double excess) {
    const double value = bound + excess;
    if (Short(value) != Short(bound)) return Short(value);
    return Short(bound) + (excess > 0 ? " + " : " - ") + Short(std::fabs(excess));
}

}  // namespace

std::string Short(double value, int digits) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
    std::string text = buffer;
    for (const auto& [from, to] : {std::pair{"e+0", "e"}, {"e+", "e"}, {"e-0", "e-"}})
        if (const std::size_t at = text.find(from); at != std::string::npos) text.replace(at, std::strlen(from), to);
    return text;
}

std::string StabilityWords(const Plan& plan, const SchemeOutcome& s) {
    const Verdict& v = s.verdict;
    if (v.tvd) {
        const bool periodic = plan.problem.periodic;
        const study::End& inflow = plan.problem.u >= 0 ? plan.problem.left : plan.problem.right;
        const std::string condition =
            (periodic ? "in every row (periodic: no inflow row) " : "in the inflow row ") +
            TvdCondition(plan, periodic) + " = " + Short(v.tvdNumber) +
            ((v.tvdUnproven ? v.tvdNumber <= 1 + 1e-12 : v.tvdHolds) ? " <= 1" : " > 1") +
            (plan.method == Method::LaxWendroff ? " with c <= 1" : "") + " (beta = " + Short(v.beta) + ")" +
            (!periodic && !inflow.IsValue() ? " (the bound for a fixed inflow value)" : "");
        const std::string interior = periodic ? std::string()
                                              : "; the interior rows alone ask " + TvdCondition(plan, true) + " = " +
                                                    Short(v.tvdInterior) +
                                                    (v.tvdInterior <= 1 + 1e-12 ? " <= 1" : " > 1");
        if (v.tvdUnproven)
            return "TVD not established at this step: " + condition + interior +
                   "; this inflow end is a gradient or a wall, where the inflow face's value moves with phi_1: the "
                   "bound does not cover it, and random runs have broken it there. What the run did is below.";
        if (v.tvdHolds)
            return "TVD at this step: " + condition + interior + ": no new extrema, and the variation cannot grow.";
        std::string text = "not TVD at this step: " + condition + interior + ": new extrema can appear and grow";
        if (!v.decidingRows.empty())
            text += " (the inflow row decides: its east face's r is measured from the mirror node 2 phi_b - phi_1, "
                    "phi_b the inflow face's value, so psi/r counts double there)";
        return text + "; " + LargestStep(v.largestTvdDt, "TVD");
    }
    const bool stretched = !study::MakeGrid(plan.problem, plan.N).Uniform();
    const std::string vonNeumann = std::string(stretched ? "von Neumann (an interior row on an endless grid of the "
                                                           "narrowest cell's width)"
                                                         : "von Neumann (an interior row on an endless grid)") +
                                   " gives largest |G| = " + Short(v.maxAmplification, 6);
    const std::string matrix = v.matrixTested ? std::string(plan.problem.periodic
                                                                ? "this grid's step matrix (periodic: circulant, its "
                                                                  "modes the grid's own waves) gives largest |g| = "
                                                                : "this grid's step matrix (end rows included) gives "
                                                                  "largest |g| = ") +
                                                    Short(v.matrixMaxAmplification, 6)
                                              : "this grid's matrix was not tested: " + v.matrixNotTested;
    if (v.stable) return "stable: " + vonNeumann + "; " + matrix + ".";
    std::string text = "unstable: ";
    if (!v.vonNeumannStable) {
        text += vonNeumann + " > 1: some wave grows every step (" + matrix + "). ";
    } else {
        text += matrix + " > 1, although " + vonNeumann + ": " +
                (v.decidingRows.empty() ? std::string("the end rows") : v.decidingRows) +
                " decide. A mode that lives at the ends grows every step. ";
    }
    return text + LargestStep(v.largestStableDt, "stable", true);
}

std::string PositivityWords(const SchemeOutcome& s) {
    const Verdict& v = s.verdict;
    if (v.tvd) return "";
    if (v.positive) return "positive on both sides (no negative coefficient, implicit or explicit): no new extrema.";
    std::string text = "not positive: ";
    if (!v.positiveImplicit) text += "the implicit side has a neighbour coefficient of the wrong sign";
    if (!v.positiveImplicit && !v.positiveExplicit) text += ", and ";
    if (!v.positiveExplicit) text += "the explicit side has a negative coefficient";
    text += "; new extrema can appear. ";
    if (v.largestPositiveDt && *v.largestPositiveDt > 0)
        text += "Steps up to dt = " + Seconds(*v.largestPositiveDt) + " are positive.";
    else
        text += v.positiveBlocker.empty() ? std::string("No step is positive.")
                                          : char(std::toupper(v.positiveBlocker[0])) + v.positiveBlocker.substr(1) + ".";
    return text;
}

std::string SingularWords(const Plan& plan, const SchemeOutcome& s) {
    const Verdict& v = s.verdict;
    // A Lax-Wendroff step adds its own diffusion, (rho u^2 dt / 2): the
    // steady equations' fault is not the step's.
    if (plan.method == Method::LaxWendroff || (!v.steadySingular && !v.steadyNearlySingular)) return "";
    const std::string how = v.steadySingular ? "singular" : "nearly singular";
    if (s.scheme == study::Scheme::Central && plan.problem.gamma == 0)
        return "Without diffusion the central scheme's steady equations are " + how +
               ": a checkerboard of alternating highs and lows is seen by no face (each face takes the mean of its "
               "two nodes) and damped by no end row, and a fixed value at the outflow end asks more of pure "
               "convection than it can give. No step damps that mode, so phi can grow without any eigenvalue "
               "above 1. Add diffusion (Gamma > 0) or choose upwind.";
    return "The steady equations of this scheme are " + how +
           " here: some mode is damped by no step, so phi can drift or grow although no eigenvalue is above 1.";
}

bool NewExtrema(const Outcome& out, const SchemeOutcome& s) {
    return s.blewUp || std::max(s.overshoot, s.undershoot) > Rounding(out);
}

bool VariationGrew(const SchemeOutcome& s) { return s.blewUp || s.variationGrowth > 1 + 1e-9; }

std::string RunWords(const Outcome& out, const SchemeOutcome& s) {
    if (s.blewUp) {
        const std::string when = " at t = " + Seconds(s.blowUpTime) + " (step " + std::to_string(s.blowUpStep) + ")";
        // With values this large, leaving the range says nothing of stability.
        if (out.blowUpLimit >= kBlowUpCeiling)
            return "left the range of double arithmetic" + when + ": |phi| passed " + Short(out.blowUpLimit) + ", " +
                   (out.blowUpLimit == kBlowUpCeiling ? "a sixteenth of the largest double"
                                                      : "the largest initial or boundary value") +
                   ".";
        return "blew up" + when + ": |phi| passed " + Short(out.blowUpLimit) + ".";
    }
    if (s.stalled)
        return "stopped at t = " + Seconds(s.stallTime) + " (step " + std::to_string(s.stallStep) +
               "): " + s.stallReason + ".";
    std::string text;
    if (!NewExtrema(out, s)) {
        text = "bounded at every frame (within [" + Short(out.lowest) + ", " + Short(out.highest) + "])";
    } else {
        text = "new extrema";
        if (s.overshoot > Rounding(out)) text += " up to " + Beyond(out.highest, s.overshoot);
        if (s.overshoot > Rounding(out) && s.undershoot > Rounding(out)) text += " and";
        if (s.undershoot > Rounding(out)) text += " down to " + Beyond(out.lowest, -s.undershoot);
    }
    if (!VariationGrew(s))
        text += "; the variation did not grow";
    else if (std::isfinite(s.variationGrowth) && Short(s.variationGrowth, 3) == "1")
        text += "; variation grew by " + Short(s.largestVariation - s.initialVariation);
    else if (std::isfinite(s.variationGrowth))
        text += "; variation grew x" + Short(s.variationGrowth, 3);
    else
        text += "; variation grew from 0 to " + Short(s.largestVariation);
    text += ".";
    if (!s.verdict.tvd && !s.verdict.stable && !Grew(out, s))
        text += " The unstable modes had not yet grown large by t_end.";
    return text;
}

bool Contradicts(const Outcome& out, const SchemeOutcome& s) {
    const Verdict& v = s.verdict;
    if (v.tvd) return v.tvdHolds && (NewExtrema(out, s) || VariationGrew(s));
    if (v.positive && v.stable && NewExtrema(out, s)) return true;
    return v.stable && Grew(out, s);
}

std::string ContradictionWords(const Outcome& out, const SchemeOutcome& s) {
    if (!Contradicts(out, s)) return "";
    const Verdict& v = s.verdict;
    if (v.tvd || (v.positive && !Grew(out, s)))
        return "This contradicts the verdict: a " + std::string(v.tvd ? "TVD" : "positive") +
               " step makes no new extrema, yet the run has them beyond rounding.";
    std::string text =
        "This is growth that the verdict 'stable' does not rule out: it looks at the eigenvalues of the step, and "
        "none has |g| above 1; but the step matrix is far from normal, and the powers of such a matrix can grow "
        "a long way before they decay (or, with a mode no step damps, without end).";
    if (v.steadySingular || v.steadyNearlySingular) text += " Here the steady equations are singular (see above).";
    return text;
}

}  // namespace transient
