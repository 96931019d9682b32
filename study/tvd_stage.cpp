// The explicit time step's stage on the bounded schemes' balance: phi
// updated node by node as the balance is walked, in one pass.
#include <cmath>
#include <vector>

#include "tvd.hpp"
#include "tvd_nodes.hpp"
#include "tvd_stretched.hpp"

namespace study {

namespace {

using namespace tvd_nodes;

// A time step's stage through the balance's nodes, phi read backwards
// for a leftward flow.
template <bool Mixed, bool Checked, class L>
bool StageOf(const L& lim, const UpwindRows& up, const Rightward& o, const std::vector<double>& phi, double lambda,
             const std::vector<double>& base, double a, std::vector<double>& out, double limit) {
    out.resize(phi.size());
    const double* __restrict x = phi.data();
    const double* __restrict w = base.data();
    double* __restrict to = out.data();
    const double keep = 1 - a;
    unsigned bad = 0;
    auto update = [=, &bad](std::size_t i, double row) {
        const double v = x[i] - lambda * row;
        to[i] = Mixed ? a * w[i] + keep * v : v;
        if (Checked) bad |= unsigned(!(std::fabs(x[i]) <= limit));
    };
    const std::vector<double> none;
    if (o.mirrored)
        Visit<true>(lim, up, o, 0.0, none, phi, update);
    else
        Visit<false>(lim, up, o, 0.0, none, phi, update);
    return bad == 0;
}

}  // namespace

TvdStage::TvdStage(const Problem& p, const Grid& g, Limiter l, double scale)
    : p_(p), g_(g), scale_(scale), limiter_(l) {
    const UpwindRows up = UpwindOf(Orient(p, g));
    std::size_t j = 0;
    for (const UpwindRows::Row& r : {up.first, up.middle, up.last})
        for (double v : {r.aW, r.aP, r.aE, r.Su}) upwind_[j++] = v;
}

TvdStage::TvdStage(double (*psi)(double), const Problem& p, const Grid& g, double scale)
    : TvdStage(p, g, Limiter::MinMod, scale) {
    limiter_.reset();
    psi_ = psi;
}

bool TvdStage::operator()(const std::vector<double>& phi, double lambda, const std::vector<double>& base, double a,
                          std::vector<double>& out, double limit) const {
    if (a == 0)
        CheckSizes(g_, phi);
    else
        CheckSizes(g_, phi, base);
    if (!g_.Uniform()) {
        // Unequal cells: the balance per the mean cell, then the update.
        std::vector<double> balance;
        stretched::Balance(p_, g_, limiter_.value_or(Limiter::MinMod), limiter_ ? nullptr : psi_, scale_, phi, 0.0, {},
                           balance);
        out.resize(phi.size());
        bool ok = true;
        for (std::size_t i = 0; i < phi.size(); ++i) {
            const double v = phi[i] - lambda * balance[i];
            out[i] = a == 0 ? v : a * base[i] + (1 - a) * v;
            ok = ok && (std::isinf(limit) || std::fabs(phi[i]) <= limit);
        }
        return ok;
    }
    const Rightward o = Orient(p_, g_);
    auto row = [&](std::size_t k) {
        return UpwindRows::Row{upwind_[4 * k], upwind_[4 * k + 1], upwind_[4 * k + 2], upwind_[4 * k + 3]};
    };
    const UpwindRows up{row(0), row(1), row(2)};
    const bool checked = !std::isinf(limit);
    auto go = [&](const auto& lim) {
        if (!checked)
            return a == 0 ? StageOf<false, false>(lim, up, o, phi, lambda, base, a, out, limit)
                          : StageOf<true, false>(lim, up, o, phi, lambda, base, a, out, limit);
        return a == 0 ? StageOf<false, true>(lim, up, o, phi, lambda, base, a, out, limit)
                      : StageOf<true, true>(lim, up, o, phi, lambda, base, a, out, limit);
    };
    if (!limiter_) return scale_ == 1 ? go(AnyPsi{psi_}) : go(Scaled<AnyPsi>{AnyPsi{psi_}, scale_});
    return WithLimiter(*limiter_, [&](auto lim) {
        return scale_ == 1 ? go(lim) : go(Scaled<decltype(lim)>{lim, scale_});
    });
}

}  // namespace study
