#include "calculation.hpp"

#include <cmath>

#include "../format/number_text.hpp"
#include "../schemes/schemes.hpp"
#include "../solver/checked.hpp"
#include "../solver/vector_state.hpp"
#include "results_file.hpp"

namespace driver {

namespace {

using calc::Where;

struct InputValues {
    double FiA, FiB, u, N, L, Rho, Gama;
};

double ReadInput(const std::string& text, const char* name) {
    const numtext::ReadResult r = numtext::ReadNumber(text);
    if (r.overflow) throw InputError(std::string("The number typed for ") + name + " is too large to calculate with.");
    return r.value;
}

// The seven inputs in the order of the window, then the values that cannot
// be calculated with: no control volume, more rows than the solver holds,
// a domain without length, or no diffusion (D and with it Pe undefined).
InputValues ReadAndCheckInputs(const InputTexts& t, Scheme scheme) {
    InputValues v{};
    v.FiA = ReadInput(t.FiA, "φA");
    v.FiB = ReadInput(t.FiB, "φB");
    v.u = ReadInput(t.u, "u");
    v.N = ReadInput(t.N, "N");
    v.L = ReadInput(t.L, "L");
    v.Rho = ReadInput(t.Rho, "ρ");
    v.Gama = ReadInput(t.Gama, "Γ");

    const double nodes = std::nearbyint(v.N);  // ties to even, as every array bound
    if (scheme == Scheme::QUICK) {
        if (nodes < 2) throw InputError("The QUICK scheme needs N of at least 2 control volumes.");
        if (nodes > kMaxQuickN) throw InputError("N may be at most 100000 for the QUICK scheme.");
    } else {
        if (nodes < 1) throw InputError("N must be at least 1: it is the number of control volumes.");
        if (nodes > kMaxThreePointN)
            throw InputError("N may be at most 300: the tridiagonal solver takes at most 300 rows.");
    }
    if (v.L == 0) throw InputError("L must not be 0: the domain would have no length.");
    if (v.Gama == 0) throw InputError("Γ must not be 0: the diffusion conductance D would be 0 and Pe = F/D undefined.");
    return v;
}

// The uniform grid: cell width dx and the cell centres x(i).
double BuildGrid(Mdl_Common::ProblemState& s, const InputValues& v) {
    s.FiA = v.FiA;
    s.FiB = v.FiB;
    s.N = v.N;
    s.x.Resize(s.N);
    const double dx = calc::Div(v.L, s.N, Where{"computing dx = L / N"});
    for (long i = 1; i <= s.N; ++i) s.x(i) = calc::Mul(i - 0.5, dx, Where{"computing the cell centres"});
    return dx;
}

// Convective flux, diffusion conductance and the cell Peclet number.
void FlowParameters(Mdl_Common::ProblemState& s, const InputValues& v, double dx) {
    s.F = calc::Mul(v.Rho, v.u, Where{"computing F = ρ u"});
    s.D = calc::Div(v.Gama, dx, Where{"computing D = Γ / dx"});
    s.Pe = calc::Div(s.F, s.D, Where{"computing Pe = F / D"});
}

void RunScheme(Scheme scheme, Mdl_Common::ProblemState& s, calc::Listing& list1) {
    switch (scheme) {
        case Scheme::Central: Mdl_Central::CentralScheme(s, list1); break;
        case Scheme::Upwind: Mdl_Upwind::UpwindScheme(s, list1); break;
        case Scheme::Hibrid: Mdl_Hibrid::HibridScheme(s, list1); break;
        case Scheme::QUICK: Mdl_QUICK::QuickScheme(s, list1); break;
    }
}

// Below the coefficients: a blank line, "Solution", a blank line and one
// " Phi(i) = value" line per node, the value rounded to four decimals.
void SolutionListing(const Mdl_Common::ProblemState& s, calc::Listing& list1) {
    list1.Reserve(static_cast<std::size_t>(s.T.Upper()) + 3, static_cast<std::size_t>(s.T.Upper()));
    list1.Append(" ");
    list1.Append("Solution");
    list1.Append(" ");
    for (long i = 1; i <= s.N; ++i) list1.AppendSolution(i, s.T(i));
}

}  // namespace

void Calculate(const InputTexts& texts, Scheme scheme, Mdl_Common::ProblemState& state, Outputs& out) {
    calc::ClearUpperVectorState();
    const InputValues v = ReadAndCheckInputs(texts, scheme);
    const double dx = BuildGrid(state, v);
    FlowParameters(state, v, dx);
    out.peText = numtext::RoundedGeneral(state.Pe, 2, out.list1.separator);
    RunScheme(scheme, state, out.list1);
    SolutionListing(state, out.list1);
    if (out.withResultsText) out.resultsText = results::ResultsText(state, out.list1.separator);
    out.plot = plot::BuildSolutionPlot(state, v.L, v.u, v.Rho, v.Gama);
}

}  // namespace driver
