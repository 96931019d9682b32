#include "../solver/checked.hpp"
#include "schemes.hpp"

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
void InteriorRows(Mdl_Common::ProblemState& s, double alpha) {
    const Where at{"the QUICK scheme"};
    const double F = s.F;
    const double D = s.D;
    const double rest = 1.0 - alpha;
    for (long i = 1; i <= s.N; ++i) {
        s.aWW(i) = Eighth(-alpha, F, at);
        s.aW(i) = Add(Add(Add(D, Eighth(6.0 * alpha, F, at), at), Eighth(alpha, F, at), at),
                      Eighth(3.0 * rest, F, at), at);
        s.aE(i) = Sub(Sub(Sub(D, Eighth(3.0 * alpha, F, at), at), Eighth(6.0 * rest, F, at), at),
                      Eighth(rest, F, at), at);
        s.aEE(i) = Eighth(rest, F, at);
        s.Sp(i) = 0.0;
        s.Su(i) = 0.0;
    }
}

// Nodes 1, 2 and N take in the end values; these rows are the forms for
// flow to the right and are used whatever the sign of F. Node N is written
// last, so with two nodes the second one carries the node-N row.
void EndRows(Mdl_Common::ProblemState& s) {
    const Where at{"the QUICK scheme"};
    const double F = s.F;
    const double D = s.D;
    const double dThird = Add(D, Div(D, 3.0, at), at);                     // D + D/3
    const double eightDThird = Div(Mul(8.0, D, at), 3.0, at);               // 8*D/3

    const double left = Add(Add(eightDThird, Eighth(2.0, F, at), at), F, at);
    s.aWW(1) = 0.0;
    s.aW(1) = 0.0;
    s.aE(1) = Sub(dThird, Eighth(3.0, F, at), at);
    s.Sp(1) = -left;
    s.Su(1) = Mul(left, s.FiA, at);

    s.aWW(2) = 0.0;
    s.aW(2) = Add(Add(D, Eighth(7.0, F, at), at), Div(F, 8.0, at), at);
    s.aE(2) = Sub(D, Eighth(3.0, F, at), at);
    s.Sp(2) = Div(F, 4.0, at);
    s.Su(2) = Mul(Div(-F, 4.0, at), s.FiA, at);

    const long last = calc::RoundIndex(s.N, at);
    const double right = Sub(eightDThird, F, at);
    s.aWW(last) = Div(-F, 8.0, at);
    s.aW(last) = Add(dThird, Eighth(6.0, F, at), at);
    s.aE(last) = 0.0;
    s.Sp(last) = -right;
    s.Su(last) = Mul(right, s.FiB, at);
}

// aP summed in the order aWW, aW, aE, aEE, then the source part taken off;
// afterwards the four neighbours change sign.
void DiagonalAndNegation(Mdl_Common::ProblemState& s) {
    for (long i = 1; i <= s.N; ++i) {
        const Where at{"the QUICK scheme", i};
        s.aP(i) = Sub(Add(Add(Add(s.aWW(i), s.aW(i), at), s.aE(i), at), s.aEE(i), at), s.Sp(i), at);
    }
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
    for (long i = 1; i <= s.N; ++i)
        list.AppendValues({s.aWW(i), s.aW(i), s.aE(i), s.aEE(i), s.Sp(i), s.aP(i), s.Su(i)}, "#0.##0", "   ");
}

}  // namespace

// QUICK assembles and lists its five-point coefficients and stops there: no
// solver is run, so T stays sized and all zero.
void QuickScheme(Mdl_Common::ProblemState& s, calc::Listing& list1) {
    for (calc::RealArray* a : {&s.aW, &s.aP, &s.aE, &s.Sp, &s.Su, &s.T, &s.aWW, &s.aEE}) a->Resize(s.N);
    const double alpha = s.F > 0 ? 1.0 : 0.0;
    InteriorRows(s, alpha);
    EndRows(s);
    DiagonalAndNegation(s);
    CoefficientListing(s, list1);
}

}  // namespace Mdl_QUICK
