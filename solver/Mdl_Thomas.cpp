#include "Mdl_Thomas.hpp"

#include <array>
#include <string>

#include "checked.hpp"
#include "errors.hpp"

namespace Mdl_Thomas {

namespace {

using calc::Where;

// The eliminated diagonal P and right-hand side Q, indices 0 to 300. Every
// index is checked before the row that uses it computes anything.
class WorkArrays {
public:
    void Check(long i) const {
        if (i < 0 || i > kCapacity)
            throw calc::SubscriptOutOfRange("Subscript out of range in the tridiagonal solver: row " +
                                            std::to_string(i) + " is beyond its capacity of " +
                                            std::to_string(kCapacity) + " rows.");
    }
    double& P(long i) { return p_[static_cast<std::size_t>(i)]; }
    double& Q(long i) { return q_[static_cast<std::size_t>(i)]; }

private:
    std::array<double, kCapacity + 1> p_{};
    std::array<double, kCapacity + 1> q_{};
};

}  // namespace

void ThomasSolve(double N, const calc::RealArray& aW, const calc::RealArray& aP, const calc::RealArray& aE,
                 calc::RealArray& Su) {
    WorkArrays w;

    // Start of elimination.
    w.Check(1);
    w.P(1) = aP(1);
    w.Q(1) = Su(1);

    // Forward elimination: P before Q within a row, and both from P(i-1).
    for (long i = 2; i <= N; ++i) {
        w.Check(i - 1);
        w.Check(i);
        const Where at{"the tridiagonal solver", i};
        w.P(i) = calc::Sub(aP(i), calc::Div(calc::Mul(aW(i), aE(i - 1), at), w.P(i - 1), at), at);
        w.Q(i) = calc::Sub(Su(i), calc::Div(calc::Mul(aW(i), w.Q(i - 1), at), w.P(i - 1), at), at);
    }

    // Last row. Its index is N rounded, which for a non-whole N can be one
    // beyond the rows the forward sweep reached.
    const long last = calc::RoundIndex(N, {"the tridiagonal solver"});
    w.Check(last);
    Su(last) = calc::Div(w.Q(last), w.P(last), Where{"the tridiagonal solver", last});

    // Backward sweep over every remaining row, each row once.
    for (long i = last - 1; i >= 1; --i) {
        const Where at{"the tridiagonal solver", i};
        w.Check(i);
        Su(i) = calc::Div(calc::Sub(w.Q(i), calc::Mul(aE(i), Su(i + 1), at), at), w.P(i), at);
    }
}

}  // namespace Mdl_Thomas
