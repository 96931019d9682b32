// The Time tab's runs: the frames rule and the march handing frames over.
#include "time_run.hpp"

#include <algorithm>
#include <cmath>
#include <map>

#include "study/rules.hpp"

namespace compare {

namespace {

// A rule's input as the window writes it.
QString InputTitle(const std::string& input) {
    static const std::map<std::string, QString> titles{
        {"u", "u"},   {"L", "L"},   {"rho", "ρ"},         {"gamma", "Γ"},
        {"su", "Su"}, {"sp", "Sp"}, {"left", "Left end"}, {"right", "Right end"}, {"periodic", "Periodic"}};
    const auto it = titles.find(input);
    return it == titles.end() ? QString::fromStdString(input) : it->second;
}

}  // namespace

long FramesFor(double tEnd, double dt) {
    // A quotient a rounding above a whole number is that number, as the
    // run's own steps are counted.
    const double q = std::ceil(tEnd / dt * (1 - 1e-12));
    if (!(q >= 1)) return 1;
    return q > double(kMostFrames) ? kMostFrames : long(q);
}

QString Unrunnable(const transient::Plan& plan) {
    const study::Problem& p = plan.problem;
    if (const std::optional<study::Fault> fault = study::Unusable(p, study::Use::Transient))
        return InputTitle(fault->input) + ": " + QString::fromStdString(fault->reason);
    if (p.Stretched() && p.periodic) return "Periodic: a periodic domain takes equal cells";
    if (p.Stretched() && plan.method == transient::Method::LaxWendroff)
        return "flux-limited Lax-Wendroff scales every correction by one 1 − c, and on unequal cells each cell has "
               "its own c: use SSPRK or the theta-method";
    if (!(plan.dt > 0)) return "Δt must be above 0";
    if (!(plan.tEnd > 0)) return "t_end must be above 0";
    const std::optional<transient::Steps> steps = transient::StepsOf(plan.tEnd, plan.dt, plan.frames);
    if (!steps) return QString("the run would take more than %1 steps: a larger Δt").arg(transient::kMaxSteps);
    if (double(plan.N) * double(steps->n) > transient::kMaxWork)
        return QString("N times the %1 steps is more than 2e10 node updates: a larger Δt or a smaller N").arg(steps->n);
    auto inside = [&](double x) { return 0 <= x && x <= p.L; };
    for (const transient::Term& s : plan.initial.terms) switch (s.shape) {
            case transient::Shape::Uniform: break;
            case transient::Shape::Step:
                if (!inside(s.a)) return "X0 must lie within [0, L]";
                break;
            case transient::Shape::Pulse:
                if (!inside(s.a)) return "X0 must lie within [0, L]";
                if (!(s.b > 0)) return "S, the pulse's standard deviation, must be above 0";
                break;
            case transient::Shape::Square:
                if (!inside(s.a) || !inside(s.b)) return "X1 and X2 must lie within [0, L]";
                if (!(s.a < s.b)) return "X1 must be less than X2";
                break;
        }
    for (study::Scheme scheme : plan.schemes)
        if (!transient::MarchesBy(plan.method, scheme))
            return QString("%1 is not marched by %2").arg(QString::fromUtf8(study::Title(scheme).data(),
                                                                              qsizetype(study::Title(scheme).size())),
                                                          QString::fromUtf8(transient::MethodTitle(plan.method).data()));
    for (study::Scheme scheme : plan.schemes)
        if (plan.N < study::MinimumN(scheme))
            return QString("%1 needs N of at least %2").arg(QString::fromUtf8(study::Title(scheme).data(),
                                                                              qsizetype(study::Title(scheme).size())))
                .arg(study::MinimumN(scheme));
    return {};
}

Shot Keep(const std::vector<double>& phi) {
    Shot shot;
    const std::size_t n = phi.size();
    if (long(n) <= kMostKeptPoints) {
        shot.phi.assign(phi.begin(), phi.end());
        return shot;
    }
    const std::size_t stretches = kMostKeptPoints / 2;
    shot.nodes.reserve(kMostKeptPoints);
    shot.phi.reserve(kMostKeptPoints);
    for (std::size_t b = 0; b < stretches; ++b) {
        const auto from = phi.begin() + long(b * n / stretches), to = phi.begin() + long((b + 1) * n / stretches);
        const auto [lo, hi] = std::minmax_element(from, to);
        for (auto it : {std::min(lo, hi), std::max(lo, hi)}) {
            shot.nodes.push_back(std::uint32_t(it - phi.begin()));
            shot.phi.push_back(float(*it));
        }
    }
    return shot;
}

std::optional<TimeResult> March(const transient::Plan& plan, JobControl& control, const TimeJob::Hand& hand) {
    transient::Plan p = plan;
    p.samples = kSpaceTimeRows;
    auto spaceTime = std::make_shared<charts::SpaceTime>(p, kSpaceTimeRows);
    const std::size_t schemes = p.schemes.size();
    std::shared_ptr<FrameSet> pending;
    std::size_t marching = schemes;  // the schemes that gave the frame before
    std::optional<std::chrono::steady_clock::time_point> drawn;  // when rows last went with a frame
    auto flush = [&] {
        if (!pending) return;
        const auto now = std::chrono::steady_clock::now();
        if (!drawn || now - *drawn >= kSpaceTimeRedraw) {
            pending->spaceTime = std::make_shared<const charts::SpaceTime>(*spaceTime);
            drawn = now;
        }
        marching = std::size_t(std::count(pending->alive.begin(), pending->alive.end(), true));
        hand(std::move(pending));
        pending.reset();
    };
    transient::Run run(p);
    // The run stops at its next step, or iteration, once the job is cancelled.
    auto stopIfCancelled = [&] {
        if (control.Cancelled()) run.Cancel();
    };
    transient::Callbacks callbacks;
    std::shared_ptr<const transient::Outcome> started;
    callbacks.started = [&](const transient::Outcome& o) { started = std::make_shared<const transient::Outcome>(o); };
    callbacks.frame = [&](const transient::Frame& f) {
        stopIfCancelled();
        if (pending && pending->index != f.index) flush();
        if (!pending) {
            pending = std::make_shared<FrameSet>();
            pending->index = f.index;
            pending->step = f.step;
            pending->t = f.t;
            pending->alive.assign(schemes, false);
            pending->shots.resize(schemes);
            pending->started = std::move(started);
        }
        const auto s = std::size_t(std::find(p.schemes.begin(), p.schemes.end(), f.scheme) - p.schemes.begin());
        pending->alive[s] = true;
        pending->shots[s] = Keep(f.phi);
    };
    // A frame is complete once every scheme still marching has given it.
    callbacks.progress = [&](double share) {
        stopIfCancelled();
        control.Progress(share);
        if (pending && std::size_t(std::count(pending->alive.begin(), pending->alive.end(), true)) == marching)
            flush();
    };
    callbacks.sampled = [&](const transient::Sample& s) {
        stopIfCancelled();
        spaceTime->Add(s);
    };
    // A bounded scheme's step on a large grid iterates for seconds: the
    // window that closes meanwhile must not wait for it.
    callbacks.iterating = stopIfCancelled;
    try {
        TimeResult result;
        result.outcome = std::make_shared<const transient::Outcome>(run.Go(callbacks));
        flush();
        result.spaceTime = std::move(spaceTime);
        return result;
    } catch (const study::Cancelled&) {
        return std::nullopt;
    } catch (const study::SolveError& e) {
        flush();
        return TimeResult{nullptr, nullptr, e.what()};
    }
}

}  // namespace compare
