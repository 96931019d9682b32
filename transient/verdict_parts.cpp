// Lax-Wendroff's rows, positivity on both sides of a step, the TVD
// condition of the limiters.
#include "verdict_parts.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "eigenvalues.hpp"
#include "study/tvd.hpp"
#include "verdict_text.hpp"

namespace transient {

namespace {

double One(double) { return 1; }
double Zero(double) { return 0; }

}  // namespace

study::Problem SevenVolumes(const study::Problem& p, long N) {
    // Seven equal cells of the grid's narrowest width: on unequal cells the
    // interior row where c and d are largest.
    study::Problem small = p;
    small.L = study::MakeGrid(p, N).Narrowest() * 7.0;
    small.grid = {};
    return small;
}

InteriorRow MiddleRow(const study::Rows& r) {
    InteriorRow row;
    row.a = {r.FiveBand() ? r.aWW[3] : 0.0, r.aW[3], r.aP[3], r.aE[3], r.FiveBand() ? r.aEE[3] : 0.0};
    row.su = r.Su[3];
    return row;
}

study::Rows LaxWendroffRows(const study::Problem& p, study::Scheme s, long N, double dt) {
    if (p.periodic) {
        // Every row the interior one, reaching round the ends: the middle
        // row of seven volumes of this grid's width, ends anywhere.
        study::Problem seven = SevenVolumes(p, N);
        seven.periodic = false;
        const InteriorRow row = MiddleRow(LaxWendroffRows(seven, s, 7, dt));
        study::Rows K;
        K.cyclic = true;
        const auto n = std::size_t(N);
        std::vector<double>* band[] = {&K.aWW, &K.aW, &K.aP, &K.aE, &K.aEE};
        for (std::size_t o = 0; o < 5; ++o) band[o]->assign(n, row.a[o]);
        K.Su.assign(n, row.su);
        return K;
    }
    const study::Grid g = study::MakeGrid(p, N);
    const double c = std::fabs(p.u) * dt / g.dx;
    double (*psi)(double) = s == study::Scheme::Central ? One : Zero;
    const auto n = std::size_t(N);
    std::vector<double> probe(n, 0.0), base, out;
    study::TvdBalanceWith(psi, p, g, probe, base, 1 - c);
    study::Rows K;
    for (auto* b : {&K.aWW, &K.aW, &K.aP, &K.aE, &K.aEE}) b->assign(n, 0.0);
    std::vector<double>* band[] = {&K.aWW, &K.aW, &K.aP, &K.aE, &K.aEE};
    // Columns five apart never meet in one row of a five-point balance:
    // five probes give every coefficient.
    for (std::size_t k = 0; k < 5; ++k) {
        for (std::size_t j = 0; j < n; ++j) probe[j] = j % 5 == k ? 1.0 : 0.0;
        study::TvdBalanceWith(psi, p, g, probe, out, 1 - c);
        for (std::size_t i = 0; i < n; ++i)
            for (int o = -2; o <= 2; ++o) {
                const long j = long(i) + o;
                if (j >= 0 && j < N && std::size_t(j) % 5 == k) (*band[o + 2])[i] = out[i] - base[i];
            }
    }
    K.Su.resize(n);
    for (std::size_t i = 0; i < n; ++i) K.Su[i] = -base[i];
    return K;
}

void PositivityVerdict(const study::Rows& K, double rhoDx, double theta, double dt, const std::string& who,
                       Verdict& v) {
    const long n = long(K.aP.size());
    double scale = 0, largestP = 0;
    for (long i = 0; i < n; ++i) {
        for (int o = -2; o <= 2; ++o) scale = std::max(scale, std::fabs(At(K, i, o)));
        largestP = std::max(largestP, At(K, i, 0));
    }
    // The largest positive neighbour coefficient, and the rows where it is
    // positive: it breaks the implicit side's M-matrix and puts a negative
    // coefficient on the explicit side, at every step.
    const char* names[] = {"aWW", "aW", "", "aE", "aEE"};
    int worst = 0;
    long rows = 0, first = 0;
    for (int o : {-2, -1, 1, 2}) {
        long count = 0, at = -1;
        for (long i = 0; i < n; ++i)
            if (At(K, i, o) > 1e-12 * scale) {
                if (at < 0) at = i;
                ++count;
            }
        if (count > rows) worst = o, rows = count, first = at;
    }
    v.positiveImplicit = v.positiveExplicit = true;
    v.largestPositiveDt.reset();
    v.positiveBlocker.clear();
    if (rows > 0) {
        v.positiveImplicit = theta == 0;
        v.positiveExplicit = theta == 1;
        v.positive = false;
        v.largestPositiveDt = 0;
        const long middle = n / 2;
        const bool interior = n >= 5 && rows >= n - 4;
        const double value = At(K, interior ? middle : first, worst);
        const std::string where = interior ? "in every interior row"
                                  : rows == 1 ? "in row " + std::to_string(first + 1)
                                              : "in " + std::to_string(rows) + " rows from row " +
                                                    std::to_string(first + 1);
        // Said with the textbook's sign: a neighbour coefficient below 0.
        v.positiveBlocker = "the neighbour coefficient " + std::string(names[worst + 2]) + " is " + Short(-value, 3) +
                            ", below 0, " + where + " (" + who + "): no step is positive";
        return;
    }
    // The explicit side's diagonal, rho dx / dt - (1 - theta) aP >= 0.
    if (theta < 1) {
        const double limit = largestP > 0 ? rhoDx / ((1 - theta) * largestP) : std::numeric_limits<double>::infinity();
        v.positiveExplicit = dt <= limit * (1 + 1e-12);
        if (std::isfinite(limit)) v.largestPositiveDt = limit;
    }
    v.positive = v.positiveImplicit && v.positiveExplicit;
}

std::string Blame(study::Scheme s, Method m, const Numbers& n) {
    std::string title(study::Title(s));
    if (title.size() > 1 && std::islower(static_cast<unsigned char>(title[1])))
        title[0] = char(std::tolower(static_cast<unsigned char>(title[0])));
    if (m == Method::LaxWendroff) return "flux-limited Lax-Wendroff on " + title + " at c = " + Short(n.courant, 3);
    if (n.cellPeclet == 0) return title + " without convection";
    if (std::isinf(n.cellPeclet)) return title + " without diffusion";
    const double pe = std::fabs(n.cellPeclet);
    return title + " at cell Pe " + Short(pe, 3) + (s == study::Scheme::Central && pe > 2 ? " > 2" : "");
}

double Beta(study::Limiter l) {
    switch (l) {
        case study::Limiter::MinMod: return 1;
        // (1 + r) / (1 + r^2), largest where r^2 + 2r = 1.
        case study::Limiter::VanAlbada: return (1 + std::sqrt(2.0)) / 2;
        // 1.5 (r + 1) / (r^2 + r + 1) falls from 1.5 at r = 0.
        case study::Limiter::Ospre: return 1.5;
        default: return 2;
    }
}

// The theta-method and SSP Runge-Kutta: with a forward-Euler stage the
// limited step is phi_i' = phi_i - C (phi_i - phi_(i-1)) + D' (phi_(i+1) -
// phi_i), and Harten's lemma asks C >= 0, D' >= 0, C + D' <= 1 face by
// face. In an interior row C is at most c (1 + beta/2), since the limited
// part adds c (psi(r_i)/r_i - psi(r_(i-1))) / 2 <= c beta / 2; with the
// diffusion, C + D' <= c (1 + beta/2) + 2d.
//
// The inflow row is worse. Its west face carries phiA itself and its
// east face's r is measured from the mirror node 2 phiA - phi_1, twice as
// far from phi_1 as the end value that the variation counts: against the
// half-cell jump phi_1 - phiA the limited part is psi(r)/r, up to beta,
// not beta/2, and the diffusion to the end is 2d. So that row asks
// c (1 + beta) + 2d <= 1, which decides for every c > 0 (the outflow row's
// mirror keeps the interior's bound, and asks 2d <= 1 of the diffusion).
//
// Flux-limited Lax-Wendroff scales the limited part by (1 - c): the
// interior asks c (1 + (1 - c) beta / 2) + 2d <= 1, the inflow row
// c (1 + (1 - c) beta) + 2d <= 1, and both c <= 1. With c = a dt and
// d = b dt the inflow row's boundary is the smaller root of
// (a^2 beta) dt^2 - (a (1 + beta) + 2b) dt + 1 = 0; its discriminant is at
// least a^2 (1 - beta)^2, and its left side is already 1 + 2d at c = 1, so
// c <= 1 holds up to it.
//
// A periodic domain has no inflow row: every row is an interior one, and
// the interior's bound is the condition (for Lax-Wendroff the smaller root
// of (a^2 beta / 2) dt^2 - (a (1 + beta / 2) + 2b) dt + 1 = 0).
void TvdVerdict(const Numbers& n, Method m, double theta, double dt, study::Limiter l, bool periodic, Verdict& v) {
    v.tvd = true;
    v.beta = Beta(l);
    const double c = n.courant, d = n.diffusion, b = v.beta;
    const double slack = 1 + 1e-12;
    if (m == Method::LaxWendroff) {
        v.tvdInterior = c * (1 + (1 - c) * b / 2) + 2 * d;
        v.tvdNumber = periodic ? v.tvdInterior : c * (1 + (1 - c) * b) + 2 * d;
        v.tvdHolds = c <= slack && v.tvdNumber <= slack;
        if (!v.tvdHolds) {
            const double share = periodic ? b / 2 : b;
            const double ca = c / dt, da = d / dt, A = ca * ca * share, B = ca * (1 + share) + 2 * da;
            v.largestTvdDt = 2 / (B + std::sqrt(std::max(0.0, B * B - 4 * A)));
        }
    } else {
        const double share = 1 - ExplicitTheta(m, theta);
        v.tvdInterior = share * (c * (1 + b / 2) + 2 * d);
        v.tvdNumber = periodic ? v.tvdInterior : share * (c * (1 + b) + 2 * d);
        v.tvdHolds = v.tvdNumber <= slack;
        // c and d grow in proportion to dt.
        if (!v.tvdHolds) v.largestTvdDt = dt / v.tvdNumber;
    }
    if (!v.tvdHolds && v.tvdInterior <= slack) v.decidingRows = "the inflow row";
}

}  // namespace transient
