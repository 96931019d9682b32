#include "csv.hpp"

#include <cmath>

#include "rows.hpp"
#include "verdict_text.hpp"
#include "study/csv.hpp"

namespace transient::csv {

namespace {

void Cell(std::string& out, double value) {
    out += ',';
    if (std::isfinite(value)) out += study::csv::Number(value);
}

void Cell(std::string& out, const std::optional<double>& value) {
    if (value)
        Cell(out, *value);
    else
        out += ',';
}

void Cell(std::string& out, bool value) { out += value ? ",true" : ",false"; }

}  // namespace

void AppendHistory(std::string& out, const study::Grid& g, const Frame& f) {
    std::string lead(study::Name(f.scheme));
    Cell(lead, f.t);
    lead += ',';
    for (long i = 1; i <= g.N; ++i) {
        const auto k = static_cast<std::size_t>(i - 1);
        out += lead;
        out += std::to_string(i);
        Cell(out, g.x(i));
        Cell(out, f.phi[k]);
        if (f.exact)
            Cell(out, (*f.exact)[k]);
        else
            out += ',';
        out += '\n';
    }
}

void AppendErrors(std::string& out, const Frame& f) {
    out += study::Name(f.scheme);
    out += ',';
    out += std::to_string(f.step);
    Cell(out, f.t);
    Cell(out, f.stats.maxError);
    Cell(out, f.stats.rmsError);
    Cell(out, f.stats.phiMin);
    Cell(out, f.stats.phiMax);
    Cell(out, f.stats.totalVariation);
    Cell(out, f.stats.l1Error);
    out += '\n';
}

std::string StabilityTable(const Plan& plan, const Outcome& o) {
    std::string out = kStabilityHeader;
    for (const SchemeOutcome& s : o.schemes) {
        const Verdict& v = s.verdict;
        out += study::Name(s.scheme);
        Cell(out, plan.theta);
        Cell(out, o.steps.dt);
        Cell(out, o.numbers.courant);
        Cell(out, o.numbers.diffusion);
        Cell(out, o.numbers.cellPeclet);
        if (v.tvd)
            out += ',';
        else
            Cell(out, v.maxAmplification);
        Cell(out, v.stable);
        if (v.tvd)
            out += ',';
        else
            Cell(out, v.positive);
        Cell(out, v.largestStableDt);
        // The matrix and positivity belong to the linear schemes, the TVD
        // condition to the limiters: the others' cells are empty.
        if (v.tvd || !v.matrixTested) {
            out += ",,";
        } else {
            Cell(out, v.matrixMaxAmplification);
            Cell(out, v.matrixStable);
        }
        if (v.tvd) {
            out += ",,";
            Cell(out, v.tvdHolds);
            out += ',';
        } else {
            Cell(out, v.positiveImplicit);
            Cell(out, v.positiveExplicit);
            out += ',';
            Cell(out, v.largestPositiveDt);
        }
        out += '\n';
    }
    return out;
}

std::string OutcomeTable(const Outcome& o) {
    std::string out = kOutcomeHeader;
    for (const SchemeOutcome& s : o.schemes) {
        out += study::Name(s.scheme);
        Cell(out, s.blewUp);
        if (s.blewUp)
            Cell(out, s.blowUpTime);
        else
            out += ',';
        Cell(out, s.variationGrowth);
        Cell(out, s.overshoot);
        Cell(out, s.undershoot);
        Cell(out, Contradicts(o, s));
        Cell(out, s.stalled);
        out += '\n';
    }
    return out;
}

}  // namespace transient::csv
