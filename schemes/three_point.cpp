#include "three_point.hpp"

#include "../solver/Mdl_Thomas.hpp"
#include "../solver/checked.hpp"

namespace calc {

namespace {

// Every array of the three-point system sized afresh: indices 0 to N
// rounded, old contents gone.
void SizeArrays(Mdl_Common::ProblemState& s) {
    for (RealArray* a : {&s.aW, &s.aP, &s.aE, &s.Sp, &s.Su, &s.T}) a->Resize(s.N);
}

// The same interior row at every node; the end rows come after.
void InteriorCoefficients(Mdl_Common::ProblemState& s, const ThreePointTerms& t) {
    for (long i = 1; i <= s.N; ++i) {
        s.aW(i) = t.west;
        s.aE(i) = t.east;
        s.Sp(i) = 0.0;
        s.Su(i) = 0.0;
    }
}

// The two end rows take in the prescribed values FiA and FiB through the
// linearised source. With a single node the right end's assignments fall on
// node 1 after the left end's and replace them.
void BoundaryCoefficients(Mdl_Common::ProblemState& s, const ThreePointTerms& t) {
    const Where at{t.scheme};
    const long last = RoundIndex(s.N, at);
    const auto [left, right] = Ends(t, s.D);
    s.aW(1) = 0.0;
    s.aE(last) = 0.0;
    s.Sp(1) = -left;
    s.Sp(last) = -right;
    s.Su(1) = Mul(left, s.FiA, at);
    s.Su(last) = Mul(right, s.FiB, at);
}

// aP from the positive neighbour coefficients, then the neighbours change
// sign so that the arrays hold the rows of the tridiagonal system.
void DiagonalAndNegation(Mdl_Common::ProblemState& s, const ThreePointTerms& t) {
    for (long i = 1; i <= s.N; ++i) {
        s.aP(i) = Diagonal(s.aW(i), s.aE(i), s.Sp(i), Where{t.scheme, i});
    }
    for (long i = 1; i <= s.N; ++i) {
        s.aW(i) = -s.aW(i);
        s.aE(i) = -s.aE(i);
    }
}

// One line per node: aW, aE, Sp, aP and Su (the right-hand side, before
// the solve), each through "#0.#0", joined by three blanks.
void CoefficientListing(const Mdl_Common::ProblemState& s, Listing& list) {
    list.StartCoefficients(" aW    aE   Sp   aP   Su");
    list.Reserve(static_cast<std::size_t>(s.aP.Upper()) + 3, 5 * static_cast<std::size_t>(s.aP.Upper()));
    for (long i = 1; i <= s.N; ++i) list.AppendValues({s.aW(i), s.aE(i), s.Sp(i), s.aP(i), s.Su(i)}, "#0.#0");
}

}  // namespace

EndBrackets Ends(const ThreePointTerms& t, double D) {
    const Where at{t.scheme};
    const double twoD = Mul(2.0, D, at);
    return {Add(twoD, t.tW, at), Sub(twoD, t.tE, at)};
}

void AssembleListAndSolve(Mdl_Common::ProblemState& s, Listing& list, const ThreePointTerms& terms) {
    SizeArrays(s);
    InteriorCoefficients(s, terms);
    BoundaryCoefficients(s, terms);
    DiagonalAndNegation(s, terms);
    CoefficientListing(s, list);
    Mdl_Thomas::ThomasSolve(s.N, s.aW, s.aP, s.aE, s.Su);
    for (long i = 1; i <= s.N; ++i) s.T(i) = s.Su(i);
}

}  // namespace calc
