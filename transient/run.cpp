#include "run.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>
#include <utility>

#include "march.hpp"
#include "study/rules.hpp"
#include "solver/errors.hpp"
#include "solver/vector_state.hpp"
#include "study/study.hpp"

namespace transient {

namespace {

// One scheme on its way.
struct Marcher {
    SchemeOutcome outcome;
    std::optional<Stepper> stepper;
    std::vector<double> phi, next, steady;
    long step = 0;
    long observed = -1;  // the last step whose sample and distance were taken
    bool alive = true;
    double previousVariation = -1;
    std::size_t nextSample = 0;
};

double MaxDifference(const std::vector<double>& a, const std::vector<double>& b) {
    double worst = 0;
    const double* __restrict x = a.data();
    const double* __restrict y = b.data();
#pragma omp simd reduction(max : worst)
    for (std::size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::fabs(x[i] - y[i]));
    return worst;
}

// The evenly spaced steps 0 .. n, at most `count` of them.
std::vector<long> SampleSteps(long n, long count) {
    std::vector<long> steps;
    if (count <= 0) return steps;
    const long s = std::min(count, n + 1);
    for (long j = 0; j < s; ++j) {
        const long step = s == 1 ? 0 : std::lround(double(j) * double(n) / double(s - 1));
        if (steps.empty() || step > steps.back()) steps.push_back(step);
    }
    return steps;
}

// What a frame adds to the record of the run: the variation against the
// first frame's, and how far phi has gone beyond the initial state's and
// the ends' range.
void Record(SchemeOutcome& o, const FrameStats& st, const Outcome& out) {
    if (o.lastFrame < 0) o.initialVariation = st.totalVariation;
    o.largestVariation = std::max(o.largestVariation, st.totalVariation);
    o.variationGrowth = o.initialVariation > 0 ? o.largestVariation / o.initialVariation
                        : o.largestVariation > 0 ? std::numeric_limits<double>::infinity()
                                                 : 1.0;
    o.overshoot = std::max(o.overshoot, st.phiMax - out.highest);
    o.undershoot = std::max(o.undershoot, out.lowest - st.phiMin);
}

}  // namespace

std::optional<Steps> StepsOf(double tEnd, double dt, long frames) {
    if (!(tEnd > 0) || !(dt > 0) || frames < 1) return std::nullopt;
    // A quotient a rounding above a whole number is that number.
    const double q = tEnd / (double(frames) * dt);
    const double perFrame = std::max(1.0, std::ceil(q * (1 - 1e-12)));
    if (!(perFrame * double(frames) <= double(kMaxSteps))) return std::nullopt;
    Steps s;
    s.perFrame = static_cast<long>(perFrame);
    s.n = s.perFrame * frames;
    s.dt = tEnd / double(s.n);
    return s;
}

std::pair<double, double> NaturalBounds(const study::Problem& p, const std::vector<double>& phi0, double tEnd) {
    double lo = *std::min_element(phi0.begin(), phi0.end()), hi = *std::max_element(phi0.begin(), phi0.end());
    if (p.periodic) {
        // The source moves every value alike, monotonically in time.
        for (double t : {0.0, tEnd}) {
            const double a = p.HasSource() ? (p.sp == 0 ? 1.0 : std::exp(p.sp / p.rho * t)) : 1.0;
            const double c = !p.HasSource() ? 0.0 : p.sp == 0 ? p.su * t / p.rho : p.su / p.sp * std::expm1(p.sp / p.rho * t);
            lo = std::min(lo, a * lo + c), hi = std::max(hi, a * hi + c);
        }
        return {lo, hi};
    }
    for (const study::End& e : {p.left, p.right})
        if (e.kind != study::EndKind::Gradient) lo = std::min(lo, e.value), hi = std::max(hi, e.value);
    if (p.HasSource() && p.gamma > 0 && !study::Unusable(p, study::Use::Steady)) {
        const auto [least, largest] = study::ExactRange(p);
        lo = std::min(lo, least), hi = std::max(hi, largest);
    }
    return {lo, hi};
}

std::pair<double, double> NaturalBounds(const Plan& plan) {
    const study::Grid g = study::MakeGrid(plan.problem, plan.N);
    std::vector<double> phi0(std::size_t(std::max<long>(plan.N, 1)));
    for (long i = 1; i <= plan.N; ++i) phi0[std::size_t(i - 1)] = InitialValue(plan.problem, plan.initial, g.x(i));
    return NaturalBounds(plan.problem, phi0, plan.tEnd);
}

FrameStats StatsOf(const study::Problem& p, const std::vector<double>& phi, const std::vector<double>* exact,
                   const std::vector<double>* steady, double previousVariation) {
    FrameStats st;
    st.phiMin = *std::min_element(phi.begin(), phi.end());
    st.phiMax = *std::max_element(phi.begin(), phi.end());
    // The jumps across fixed ends count; a periodic state's across the wrap.
    double tv = 0;
    if (p.periodic) tv = std::fabs(phi.front() - phi.back());
    if (!p.periodic && p.left.IsValue()) tv += std::fabs(phi.front() - p.left.value);
    if (!p.periodic && p.right.IsValue()) tv += std::fabs(p.right.value - phi.back());
    for (std::size_t i = 0; i + 1 < phi.size(); ++i) tv += std::fabs(phi[i + 1] - phi[i]);
    st.totalVariation = tv;
    st.variationGrew = previousVariation >= 0 && tv > previousVariation + 1e-10 * std::max(1.0, previousVariation);
    if (exact) {
        const double worst = MaxDifference(phi, *exact);
        double sum = 0, l1 = 0;
        if (worst > 0)
            for (std::size_t i = 0; i < phi.size(); ++i) {
                const double e = (phi[i] - (*exact)[i]) / worst;
                sum += e * e;
                l1 += std::fabs(e);
            }
        st.maxError = worst;
        st.l1Error = worst * l1 * (p.L / double(phi.size()));
        if (p.Stretched()) {  // each cell's own width
            const study::Grid g = study::MakeGrid(p, long(phi.size()));
            double sum1 = 0;
            for (std::size_t i = 0; i < phi.size(); ++i) sum1 += g.Width(long(i) + 1) * std::fabs(phi[i] - (*exact)[i]);
            st.l1Error = sum1;
        }
        st.rmsError = worst * std::sqrt(sum / double(phi.size()));
    }
    if (steady) st.distance = MaxDifference(phi, *steady);
    return st;
}

Run::Run(Plan plan) : plan_(std::move(plan)) {}

Outcome Run::Go(const Callbacks& cb) {
    calc::ClearUpperVectorState();
    const study::Problem& p = plan_.problem;
    const long N = plan_.N;
    const std::optional<Steps> steps = StepsOf(plan_.tEnd, plan_.dt, plan_.frames);
    if (!steps) throw std::invalid_argument("the run's steps are out of range");
    Outcome out;
    out.steps = *steps;
    out.numbers = NumbersOf(p, N, steps->dt);
    const study::Grid g = study::MakeGrid(p, N);

    std::vector<double> phi0(static_cast<std::size_t>(N));
    double largest = study::EndMagnitude(p);
    out.settleTolerance = 1e-6 * largest;
    for (long i = 1; i <= N; ++i) {
        phi0[std::size_t(i - 1)] = InitialValue(p, plan_.initial, g.x(i));
        largest = std::max(largest, std::fabs(phi0[std::size_t(i - 1)]));
    }
    // A million times the largest magnitude, but never past kBlowUpCeiling,
    // nor below the values the run starts from.
    const double limit = std::max(largest, std::min(1e6 * largest, kBlowUpCeiling));
    out.blowUpLimit = limit;
    std::tie(out.lowest, out.highest) = NaturalBounds(p, phi0, steps->dt * double(steps->n));
    out.hasSteady = !HasExact(plan_.initial) && p.gamma > 0 && !study::Unusable(p, study::Use::Steady);

    // Asked before every iteration of a bounded scheme.
    auto cancelled = [this, &cb] {
        if (cb.iterating) cb.iterating();
        return cancelled_.load(std::memory_order_relaxed);
    };
    std::vector<Marcher> marchers(plan_.schemes.size());
    for (std::size_t s = 0; s < marchers.size(); ++s) {
        Marcher& m = marchers[s];
        const study::Scheme scheme = plan_.schemes[s];
        m.outcome.scheme = scheme;
        try {
            m.outcome.verdict = Assess(p, scheme, N, plan_.method, plan_.theta, steps->dt);
            m.stepper.emplace(p, scheme, N, plan_.method, plan_.theta, steps->dt, largest, cancelled);
        } catch (const calc::CalcError& e) {
            throw study::SolveError(scheme, N, e.what());
        }
        // The steady reference is a measure, not the march: one that cannot
        // be formed (its system singular at a tiny Gamma) leaves only this
        // scheme's distances out.
        if (out.hasSteady) try {
                m.steady = SteadySolution(p, scheme, N, cancelled);
            } catch (const study::Cancelled&) {
                throw;
            } catch (const std::exception& e) {
                m.outcome.steadyFailure = e.what();
            }
        m.phi = phi0;
        out.schemes.push_back(m.outcome);
    }
    if (cb.started) cb.started(out);

    const std::vector<long> samples = SampleSteps(steps->n, plan_.samples);
    // The sample and the distance of a good state, once per step.
    auto observe = [&](Marcher& m) {
        if (m.step <= m.observed) return;
        m.observed = m.step;
        const double t = double(m.step) * steps->dt;
        if (!m.steady.empty() && !m.outcome.settledTime && MaxDifference(m.phi, m.steady) < out.settleTolerance)
            m.outcome.settledTime = t;
        if (m.nextSample < samples.size() && samples[m.nextSample] == m.step) {
            ++m.nextSample;
            if (cb.sampled) cb.sampled(Sample{m.outcome.scheme, m.step, t, m.phi});
        }
    };
    auto blowUp = [&](Marcher& m) {
        m.alive = false;
        m.outcome.blewUp = true;
        // The first state past the limit: this one, or, where this one is
        // within it (a bounded scheme's iterations ran beyond), the next.
        m.outcome.blowUpStep = Within(m.phi, limit) ? m.step + 1 : m.step;
        m.outcome.blowUpTime = double(m.outcome.blowUpStep) * steps->dt;
    };
    auto stall = [&](Marcher& m, const Stalled& e) {
        m.alive = false;
        m.outcome.stalled = true;
        m.outcome.stallStep = m.step + 1;
        m.outcome.stallTime = double(m.step + 1) * steps->dt;
        m.outcome.stallReason = "its " + e.reason;
    };

    const double total = double(steps->n) * double(std::max<std::size_t>(marchers.size(), 1));
    double done = 0;
    std::vector<double> exact;
    for (long k = 0; k <= plan_.frames; ++k) {
        const long target = k * steps->perFrame;
        const double t = double(target) * steps->dt;
        const bool hasExact = HasExact(plan_.initial);
        if (hasExact) {
            exact.resize(std::size_t(N));
            for (long i = 1; i <= N; ++i) exact[std::size_t(i - 1)] = ExactValue(p, plan_.initial, g.x(i), t);
        }
        for (Marcher& m : marchers) {
            if (!m.alive) continue;
            while (m.step < target) {
                if (cancelled_.load(std::memory_order_relaxed)) throw study::Cancelled();
                try {
                    if (!m.stepper->Step(m.phi, m.next, limit)) break;
                } catch (const Stalled& e) {
                    stall(m, e);
                    break;
                }
                observe(m);
                std::swap(m.phi, m.next);
                ++m.step;
                if ((++done, m.step % 4096 == 0) && cb.progress) cb.progress(done / total);
            }
            if (m.outcome.stalled) continue;
            if (m.step < target || !Within(m.phi, limit)) {
                blowUp(m);
                continue;
            }
            observe(m);
            const FrameStats st =
                StatsOf(p, m.phi, hasExact ? &exact : nullptr, m.steady.empty() ? nullptr : &m.steady, m.previousVariation);
            m.previousVariation = st.totalVariation;
            Record(m.outcome, st, out);
            m.outcome.lastFrame = k;
            if (st.distance) m.outcome.finalDistance = *st.distance;
            if (cb.frame) cb.frame(Frame{m.outcome.scheme, k, target, t, m.phi, hasExact ? &exact : nullptr, st});
        }
        if (cb.progress) cb.progress(std::min(1.0, done / total));
    }
    for (std::size_t s = 0; s < marchers.size(); ++s) {
        SchemeOutcome& o = out.schemes[s];
        o = marchers[s].outcome;
        if (marchers[s].stepper) o.iterations = marchers[s].stepper->Iterations();
    }
    return out;
}

}  // namespace transient
