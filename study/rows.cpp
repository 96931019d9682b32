#include "rows.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include "ends_rows.hpp"
#include "stretched_rows.hpp"
#include "schemes/schemes.hpp"
#include "solver/checked.hpp"

namespace study {

double PowerLawA(double P) {
    const double t = 1.0 - 0.1 * std::fabs(P);
    return t <= 0 ? 0.0 : t * t * t * t * t;
}

// Written as P e^-P / (1 - e^-P) beyond 1 so that nothing overflows, and
// with expm1 so that small P loses nothing.
double ExponentialA(double P) {
    P = std::fabs(P);
    if (P == 0) return 1.0;
    if (P <= 1) return P / std::expm1(P);
    return P * std::exp(-P) / -std::expm1(-P);
}

namespace {

// Interior and end coefficients of a three-point scheme, before negation.
// The ends enter as sources: node 1 has Sp = -left, Su = left phiA; node N
// has Sp = -right, Su = right phiB.
struct ThreePoint {
    double west, east, left, right;
};

unsigned NegativeBits(double aWW, double aW, double aE, double aEE) {
    return (aWW < 0 ? kNegativeWW : 0u) | (aW < 0 ? kNegativeW : 0u) | (aE < 0 ? kNegativeE : 0u) |
           (aEE < 0 ? kNegativeEE : 0u);
}

ThreePoint FromTerms(const calc::ThreePointTerms& interior, const calc::ThreePointTerms& ends, double D) {
    const calc::EndBrackets b = calc::Ends(ends, D);
    return {interior.west, interior.east, b.left, b.right};
}


// aW = D A(|Pe|) + max(F, 0), aE = D A(|Pe|) + max(-F, 0); each end point a
// neighbour at dx/2 with conductance 2D and Peclet number F / (2D).
ThreePoint Patankar(double (*A)(double), double F, double D) {
    const calc::Where at{"the power-law or exponential coefficients"};
    const double d = calc::Mul(D, A(F / D), at);
    const double twoD = calc::Mul(2.0, D, at);
    const double dEnd = calc::Mul(twoD, A(F / twoD), at);
    return {d + std::max(F, 0.0), d + std::max(-F, 0.0), dEnd + std::max(F, 0.0), dEnd + std::max(-F, 0.0)};
}

ThreePoint ThreePointOf(Scheme s, const Grid& g) {
    using namespace Mdl_Central;
    using namespace Mdl_Upwind;
    using namespace Mdl_Hibrid;
    switch (s) {
        case Scheme::Central: return FromTerms(CentralTerms(g.F, g.D), CentralTerms(g.F, g.D), g.D);
        case Scheme::Upwind: return FromTerms(UpwindTerms(g.F, g.D), UpwindTerms(g.F, g.D), g.D);
        case Scheme::Hybrid:
            return FromTerms(HibridTerms(g.F, g.D),
                             std::fabs(g.Pe) < 2 ? CentralTerms(g.F, g.D) : UpwindTerms(g.F, g.D), g.D);
        case Scheme::PowerLaw: return Patankar(PowerLawA, g.F, g.D);
        case Scheme::Exponential: return Patankar(ExponentialA, g.F, g.D);
        case Scheme::Quick: break;
        case Scheme::MinMod:
        case Scheme::VanLeer:
        case Scheme::VanAlbada:
        case Scheme::Superbee:
        case Scheme::MC:
        case Scheme::Koren:
        case Scheme::Ospre:
        case Scheme::Umist:
        case Scheme::QuickLimited: return FromTerms(UpwindTerms(g.F, g.D), UpwindTerms(g.F, g.D), g.D);
    }
    throw calc::CalcError("QUICK is not a three-point scheme");
}

Rows AssembleThreePoint(const ThreePoint& c, double phiA, double phiB, long N) {
    const calc::Where at{"assembling the end rows"};
    const auto n = static_cast<std::size_t>(N);
    Rows r;
    r.aW.assign(n, -c.west);
    r.aE.assign(n, -c.east);
    r.aP.assign(n, calc::Diagonal(c.west, c.east, 0.0, at));
    r.Su.assign(n, 0.0);
    r.aW.front() = 0.0;
    r.aE.back() = 0.0;
    if (N == 1) {
        r.aP[0] = calc::Add(c.left, c.right, at);
        r.Su[0] = calc::Add(calc::Mul(c.left, phiA, at), calc::Mul(c.right, phiB, at), at);
    } else {
        r.aP.front() = calc::Diagonal(0.0, c.east, -c.left, at);
        r.aP.back() = calc::Diagonal(c.west, 0.0, -c.right, at);
        r.Su.front() = calc::Mul(c.left, phiA, at);
        r.Su.back() = calc::Mul(c.right, phiB, at);
        r.negative = NegativeBits(0, c.west, c.east, 0);
    }
    return r;
}

void SetRow(Rows& r, std::size_t k, const Mdl_QUICK::Row& row) {
    const calc::Where at{"the QUICK scheme"};
    r.aWW[k] = -row.aWW;
    r.aW[k] = -row.aW;
    r.aP[k] = Mdl_QUICK::Diagonal(row, at);
    r.aE[k] = -row.aE;
    r.aEE[k] = -row.aEE;
    r.Su[k] = row.Su;
    r.negative |= NegativeBits(row.aWW, row.aW, row.aE, row.aEE);
}

// The window's QUICK rows for flow to the right. Node 1 has no west
// neighbours and node N no east ones: their aEE (and node N-1's), which the
// window keeps from the interior row, lie outside the system and are 0 here.
Rows AssembleQuick(long N, double F, double D, double phiA, double phiB) {
    const Mdl_QUICK::Rows q = Mdl_QUICK::QuickRows(F, D, phiA, phiB);
    const auto n = static_cast<std::size_t>(N);
    Rows r;
    for (auto* v : {&r.aWW, &r.aW, &r.aP, &r.aE, &r.aEE, &r.Su}) v->assign(n, 0.0);
    for (std::size_t k = 2; k + 1 < n; ++k) SetRow(r, k, q.interior);
    SetRow(r, 0, q.first);
    SetRow(r, 1, q.second);
    SetRow(r, n - 1, q.last);
    r.aEE[n - 2] = r.aEE[n - 1] = 0.0;
    return r;
}

// Flow to the left: the mirror image x -> L - x, phiA <-> phiB, F -> -F,
// read back in the problem's own node order (west and east swap places).
Rows Mirrored(Rows m) {
    for (auto* v : {&m.aWW, &m.aW, &m.aP, &m.aE, &m.aEE, &m.Su}) std::reverse(v->begin(), v->end());
    std::swap(m.aWW, m.aEE);
    std::swap(m.aW, m.aE);
    const unsigned n = m.negative;
    m.negative = (n & kNegativeWW ? kNegativeEE : 0u) | (n & kNegativeEE ? kNegativeWW : 0u) |
                 (n & kNegativeW ? kNegativeE : 0u) | (n & kNegativeE ? kNegativeW : 0u);
    return m;
}

// The rows with fixed end values phiA and phiB.
Rows ValueRows(const Grid& g, double phiA, double phiB, Scheme s) {
    if (s != Scheme::Quick) return AssembleThreePoint(ThreePointOf(s, g), phiA, phiB, g.N);
    if (g.F >= 0) return AssembleQuick(g.N, g.F, g.D, phiA, phiB);
    return Mirrored(AssembleQuick(g.N, -g.F, g.D, phiB, phiA));
}

void AddSource(Rows& r, const Problem& p, const Grid& g) {
    const calc::Where at{"the source"};
    const double su = calc::Mul(p.su, g.dx, at), sp = calc::Mul(-p.sp, g.dx, at);
    for (std::size_t k = 0; k < r.aP.size(); ++k) {
        r.Su[k] = calc::Add(r.Su[k], su, at);
        r.aP[k] = calc::Add(r.aP[k], sp, at);
    }
}

// Every row an interior one, reaching round the ends: the rows of a grid
// of 6 (QUICK's interior rows begin at its third node), the interior row
// copied to every node.
Rows CyclicRows(const Grid& g, Scheme s) {
    Grid few = g;
    few.N = 6;
    const Rows six = ValueRows(few, 0.0, 0.0, s);
    const auto n = static_cast<std::size_t>(g.N);
    Rows r;
    r.cyclic = true;
    r.aW.assign(n, six.aW[3]);
    r.aP.assign(n, six.aP[3]);
    r.aE.assign(n, six.aE[3]);
    r.Su.assign(n, 0.0);
    if (six.FiveBand()) {
        r.aWW.assign(n, six.aWW[3]);
        r.aEE.assign(n, six.aEE[3]);
    }
    r.negative = six.negative & (kNegativeWW | kNegativeW | kNegativeE | kNegativeEE);
    return r;
}

}  // namespace

Rows Assemble(const Problem& p, Scheme s, long N) { return Assemble(p, MakeGrid(p, N), s); }

Rows Assemble(const Problem& p, const Grid& g, Scheme s) {
    if (!g.Uniform()) return StretchedRows(p, g, s);
    if (p.periodic) {
        Rows r = CyclicRows(g, s);
        if (p.HasSource()) AddSource(r, p, g);
        return r;
    }
    const double phiA = p.left.IsValue() ? p.left.value : 0.0, phiB = p.right.IsValue() ? p.right.value : 0.0;
    Rows r = ValueRows(g, phiA, phiB, s);
    for (const bool atLeft : {true, false}) {
        const End& e = atLeft ? p.left : p.right;
        if (e.IsValue()) continue;
        Grid few = g;
        few.N = std::min<long>(g.N, 6);
        const Rows unit = ValueRows(few, atLeft ? 1.0 : 0.0, atLeft ? 0.0 : 1.0, s);
        MoveEnd(r, unit, atLeft, FaceValueOf(e, atLeft, g, EndGradientOf(s)));
    }
    if (p.HasSource()) AddSource(r, p, g);
    return r;
}

}  // namespace study
