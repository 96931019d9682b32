// The one-line explanation of a scheme's flags at one grid.
#include "warnings.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace study {

std::string Short(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", v);
    return buffer;
}

namespace {

// A value beside the bound it passes, as "1 + 4.8e-07" where six digits
// would show the bound itself.
std::string Past(double v, double bound) {
    if (v == bound || Short(v) != Short(bound)) return Short(v);
    return Short(bound) + (v > bound ? " + " : " - ") + Short(std::fabs(v - bound));
}

std::string NegativeNames(unsigned bits) {
    std::string names;
    for (const auto& [bit, name] :
         {std::pair{kNegativeWW, "aWW"}, {kNegativeW, "aW"}, {kNegativeE, "aE"}, {kNegativeEE, "aEE"}})
        if (bits & bit) names += (names.empty() ? "" : ", ") + std::string(name);
    return names + " < 0";
}

}  // namespace

std::string Warning(const Study& st, const Result& r) {
    if (r.bounded && !r.NegativeCoefficients()) return "";
    const Problem& p = st.problem;
    std::string line = std::string(Name(r.scheme)) + " at N = " + std::to_string(r.grid.N) + ": ";
    // On unequal cells the widest cell has the largest Peclet number.
    const double pe = r.grid.Uniform() ? r.grid.Pe : r.grid.Pe * r.grid.Widest() / r.grid.dx;
    if (r.NegativeCoefficients()) {
        line += (r.grid.Uniform() ? "Pe = " : "Pe in the widest cell = ") + Short(pe);
        if (r.scheme != Scheme::Quick && std::fabs(pe) > 2) line += pe > 0 ? " > 2" : " < -2";
        line += ", " + NegativeNames(r.negative);
        if (r.scheme == Scheme::Quick) line += " (QUICK's far upstream coefficient is negative for any flow)";
        line += r.bounded ? ": bounded here, but the solution can overshoot where phi changes steeply"
                          : ": the solution oscillates";
    } else {
        line += "the solution is not bounded";
    }
    if (!r.bounded) {
        const auto [lo, hi] = ExactRange(p);
        line += " (phi from " + Past(r.phiMin, lo) + " to " + Past(r.phiMax, hi) + ", outside [" + Short(lo) + ", " +
                Short(hi) + "])";
    }
    if (r.scheme == Scheme::Central && std::fabs(r.grid.Pe) > 2 && r.grid.Uniform())
        line += "; N above " + Short(std::fabs(DomainPeclet(p)) / 2) + " brings |Pe| below 2";
    return line;
}

}  // namespace study
