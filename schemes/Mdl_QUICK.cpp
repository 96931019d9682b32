#include "../solver/checked.hpp"
#include "schemes.hpp"

#include <utility>

namespace Mdl_QUICK {

namespace {

using calc::Add;
using calc::Div;
using calc::Mul;
using calc::Sub;
using calc::Where;

// Each formula is evaluated left to right as a person would write it out:
// 6*Alpha*F/8 is (6*Alpha)*F, then divided by 8.
double Eighth(double factor, double F, const Where& at) { return Div(Mul(factor, F, at), 8.0, at); }

// The row of a node away from both ends: the face values are interpolated
// from two upstream nodes and one downstream node, chosen by Alpha.
Row InteriorRow(double F, double D, double alpha) {
    const Where at{"the QUICK scheme"};
    const double rest = 1.0 - alpha;
    Row r{};
    r.aWW = Eighth(-alpha, F, at);
    r.aW = Add(Add(Add(D, Eighth(6.0 * alpha, F, at), at), Eighth(alpha, F, at), at), Eighth(3.0 * rest, F, at), at);
    r.aE = Sub(Sub(Sub(D, Eighth(3.0 * alpha, F, at), at), Eighth(6.0 * rest, F, at), at), Eighth(rest, F, at), at);
    r.aEE = Eighth(rest, F, at);
    r.Sp = 0.0;
    r.Su = 0.0;
    return r;
}

// Every node's row assigned in the order the rows are listed: all interior
// rows, then nodes 1, 2 and N. Node N is written last, so with two nodes the
// second one carries the node-N row. End rows leave aEE as it is.
void FillRows(Mdl_Common::ProblemState& s, const Rows& rows) {
    for (long i = 1; i <= s.N; ++i) {
        const Row& r = rows.interior;
        s.aWW(i) = r.aWW;
        s.aW(i) = r.aW;
        s.aE(i) = r.aE;
        s.aEE(i) = r.aEE;
        s.Sp(i) = r.Sp;
        s.Su(i) = r.Su;
    }
    const long last = calc::RoundIndex(s.N, Where{"the QUICK scheme"});
    for (const auto& [i, r] : {std::pair{1L, rows.first}, std::pair{2L, rows.second}, std::pair{last, rows.last}}) {
        s.aWW(i) = r.aWW;
        s.aW(i) = r.aW;
        s.aE(i) = r.aE;
        s.Sp(i) = r.Sp;
        s.Su(i) = r.Su;
    }
}

// aP from the assembled rows; afterwards the four neighbours change sign.
void DiagonalAndNegation(Mdl_Common::ProblemState& s) {
    for (long i = 1; i <= s.N; ++i)
        s.aP(i) = Diagonal(Row{s.aWW(i), s.aW(i), s.aE(i), s.aEE(i), s.Sp(i), 0.0}, Where{"the QUICK scheme", i});
    for (long i = 1; i <= s.N; ++i) {
        s.aWW(i) = -s.aWW(i);
        s.aW(i) = -s.aW(i);
        s.aE(i) = -s.aE(i);
        s.aEE(i) = -s.aEE(i);
    }
}

// Seven columns through "#0.##0", each value followed by three blanks.
void CoefficientListing(const Mdl_Common::ProblemState& s, calc::Listing& list) {
    list.StartCoefficients(" aWW   aW    aE   aEE   Sp   aP   Su");
    list.Reserve(static_cast<std::size_t>(s.aP.Upper()) + 3, 7 * static_cast<std::size_t>(s.aP.Upper()));
    for (long i = 1; i <= s.N; ++i)
        list.AppendValues({s.aWW(i), s.aW(i), s.aE(i), s.aEE(i), s.Sp(i), s.aP(i), s.Su(i)}, "#0.##0", "   ");
}

}  // namespace

Rows QuickRows(double F, double D, double FiA, double FiB) {
    const Where at{"the QUICK scheme"};
    const double alpha = F > 0 ? 1.0 : 0.0;
    Rows rows{};
    rows.interior = InteriorRow(F, D, alpha);
    const double aEE = rows.interior.aEE;

    // Nodes 1, 2 and N take in the end values through the linearised source.
    const double dThird = Add(D, Div(D, 3.0, at), at);        // D + D/3
    const double eightDThird = Div(Mul(8.0, D, at), 3.0, at);  // 8*D/3
    const double left = Add(Add(eightDThird, Eighth(2.0, F, at), at), F, at);
    rows.first = {0.0, 0.0, Sub(dThird, Eighth(3.0, F, at), at), aEE, -left, Mul(left, FiA, at)};
    rows.second = {0.0, Add(Add(D, Eighth(7.0, F, at), at), Div(F, 8.0, at), at), Sub(D, Eighth(3.0, F, at), at), aEE,
                   Div(F, 4.0, at), Mul(Div(-F, 4.0, at), FiA, at)};
    const double right = Sub(eightDThird, F, at);
    rows.last = {Div(-F, 8.0, at), Add(dThird, Eighth(6.0, F, at), at), 0.0, aEE, -right, Mul(right, FiB, at)};
    return rows;
}

double Diagonal(const Row& r, const calc::Where& at) {
    return Sub(Add(Add(Add(r.aWW, r.aW, at), r.aE, at), r.aEE, at), r.Sp, at);
}

// QUICK assembles and lists its five-point coefficients and stops there: no
// solver is run, so T stays sized and all zero.
void QuickScheme(Mdl_Common::ProblemState& s, calc::Listing& list1) {
    for (calc::RealArray* a : {&s.aW, &s.aP, &s.aE, &s.Sp, &s.Su, &s.T, &s.aWW, &s.aEE}) a->Resize(s.N);
    FillRows(s, QuickRows(s.F, s.D, s.FiA, s.FiB));
    DiagonalAndNegation(s);
    CoefficientListing(s, list1);
}

}  // namespace Mdl_QUICK
