#include "transient_report.hpp"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "transient/rows.hpp"

namespace cli {

namespace {

std::string Column(const std::string& text, std::size_t width = 12) {
    return text.size() >= width ? text + " " : std::string(width - text.size(), ' ') + text;
}

std::string NameOf(study::Scheme s) { return std::string(study::Name(s)); }

std::string Seconds(double t) { return Short(t) + " s"; }

// The frames, as ranges "3-7, 10", where the exact reference no longer
// fits the boundary values.
std::string FramesWithoutExact(const TransientOptions& o, const transient::Outcome& out) {
    std::string text;
    long first = -1;
    auto close = [&](long last) {
        if (first < 0) return;
        if (!text.empty()) text += ", ";
        text += std::to_string(first);
        if (last > first) text += '-' + std::to_string(last);
        first = -1;
    };
    for (long k = 0; k <= o.plan.frames; ++k) {
        const double t = double(k * out.steps.perFrame) * out.steps.dt;
        const bool applies = transient::ExactApplies(o.plan.problem, o.plan.initial, t);
        if (!applies && first < 0) first = k;
        if (applies) close(k - 1);
    }
    close(o.plan.frames);
    return text;
}

}  // namespace

std::string Short(double value, int digits) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
    std::string text = buffer;
    for (const auto& [from, to] : {std::pair{"e+0", "e"}, {"e+", "e"}, {"e-0", "e-"}})
        if (const std::size_t at = text.find(from); at != std::string::npos) text.replace(at, std::strlen(from), to);
    return text;
}

std::string VerdictText(const transient::SchemeOutcome& s) {
    const transient::Verdict& v = s.verdict;
    if (v.tvd)
        return v.stable ? "the TVD condition (1 - theta)(2c + 2d) <= 1 holds: no new extrema."
                        : "the TVD condition (1 - theta)(2c + 2d) <= 1 fails: new extrema may appear; it holds for "
                          "steps up to dt = " + Seconds(v.largestStableDt.value_or(0)) + ".";
    std::string text;
    if (v.stable) {
        text = "stable (largest |G| = " + Short(v.maxAmplification, 6) + ")";
        text += v.positive ? ", and positive: no new extrema."
                           : ", but not positive: the explicit part has a negative coefficient, so the "
                             "solution may ring (new extrema near steep fronts).";
        return text;
    }
    text = "unstable (largest |G| = " + Short(v.maxAmplification, 6) + "): some wave grows every step; ";
    if (v.largestStableDt && *v.largestStableDt > 0)
        text += "steps up to dt = " + Seconds(*v.largestStableDt) + " are stable.";
    else
        text += "no step is stable with this time scheme.";
    return text;
}

std::string BlowUpText(const transient::SchemeOutcome& s, double limit) {
    if (!s.blewUp) return "";
    return NameOf(s.scheme) + ": unstable, grew past " + Short(limit) + " at t = " + Seconds(s.blowUpTime) +
           " (step " + std::to_string(s.blowUpStep) + ")";
}

void TransientReport::Add(const transient::Frame& f) {
    std::string& table = tables_[f.scheme];
    const bool exact = f.exact != nullptr;
    const transient::FrameStats& st = f.stats;
    std::string row = Column(Short(f.t, 6));
    if (exact) {
        const bool applies = transient::ExactApplies(o_.plan.problem, o_.plan.initial, f.t);
        row += Column(Short(*st.maxError)) + Column(Short(*st.rmsError) + (applies ? " " : "!")) +
               Column(Short(*st.l1Error) + (applies ? " " : "!"));
    } else if (st.distance) {
        row += Column(Short(*st.distance));
    }
    row += Column(Short(st.phiMin)) + Column(Short(st.phiMax));
    const bool grew = st.variationGrew && !transient::IsTvd(f.scheme);
    marked_ = marked_ || grew;
    row += Column(Short(st.totalVariation) + (grew ? "*" : " "));
    table += row + "\n";
}

std::string TransientReport::Text(const transient::Outcome& out) const {
    const transient::Plan& plan = o_.plan;
    const study::Problem& p = plan.problem;
    const transient::Numbers& n = out.numbers;
    std::string t = "Time-dependent convection-diffusion, rho dphi/dt + d(rho u phi)/dx = d(Gamma dphi/dx)/dx\n";
    t += "Problem: phiA = " + Short(p.phiA, 6) + ", phiB = " + Short(p.phiB, 6) + ", u = " + Short(p.u, 6) +
         " m/s, L = " + Short(p.L, 6) + " m, rho = " + Short(p.rho, 6) + " kg/m3, Gamma = " + Short(p.gamma, 6) +
         " kg/(m s), N = " + std::to_string(plan.N) + " (dx = " + Short(p.L / double(plan.N), 6) + " m)\n";
    t += "Initial state: " + transient::Text(plan.initial) + "\n";
    const char* name = plan.theta == 0 ? " (explicit)" : plan.theta == 0.5 ? " (Crank-Nicolson)"
                                                     : plan.theta == 1   ? " (implicit)"
                                                                         : "";
    const std::string method = plan.method == transient::Method::Theta
                                   ? "theta = " + Short(plan.theta, 6) + name
                                   : std::string(transient::MethodTitle(plan.method));
    t += "Time: " + method + ", n = " + std::to_string(out.steps.n) + " steps of dt = " +
         Seconds(out.steps.dt) + " to t_end = " + Seconds(plan.tEnd) + ", " + std::to_string(plan.frames) +
         " frames";
    if (out.steps.dt != plan.dt)
        t += "\n      (the step is " + Seconds(out.steps.dt) + ", not the " + Seconds(plan.dt) +
             " asked for, so that the frames fall on steps)";
    t += "\nCourant number c = " + Short(n.courant) + ", diffusion number d = " + Short(n.diffusion) +
         ", cell Peclet number " + (std::isfinite(n.cellPeclet) ? Short(n.cellPeclet) : std::string("infinite")) +
         "\n";
    for (const std::string& note : o_.notes) t += "Note: " + note + "\n";

    t += "\nStability at this step:\n";
    for (const transient::SchemeOutcome& s : out.schemes) t += "  " + NameOf(s.scheme) + ": " + VerdictText(s) + "\n";

    const bool exact = transient::HasExact(plan.initial);
    t += "\nOutcome:\n";
    for (const transient::SchemeOutcome& s : out.schemes) {
        if (s.blewUp) {
            t += "  " + BlowUpText(s, out.blowUpLimit) + "; its rows end at frame " + std::to_string(s.lastFrame) +
                 ".\n";
        } else if (out.hasSteady) {
            t += "  " + NameOf(s.scheme) + ": ";
            t += s.settledTime ? "within " + Short(out.settleTolerance) + " of its steady solution from t = " +
                                     Seconds(*s.settledTime) + ".\n"
                               : "still " + Short(s.finalDistance) + " from its steady solution at t_end.\n";
        } else {
            t += "  " + NameOf(s.scheme) + ": reached t_end.\n";
        }
    }
    if (exact) {
        const std::string frames = FramesWithoutExact(o_, out);
        if (!frames.empty())
            t += "The exact reference (unbounded domain) no longer fits the boundary values at frames " + frames +
                 " (marked !): their errors measure that, not the scheme.\n";
    } else if (!out.hasSteady) {
        t += "With no diffusion there is no steady solution to settle on.\n";
    }

    for (const transient::SchemeOutcome& s : out.schemes) {
        t += '\n' + NameOf(s.scheme) + ":\n";
        t += Column("t (s)");
        if (exact)
            t += Column("max error") + Column("rms error ") + Column("l1 error ");
        else if (out.hasSteady)
            t += Column("to steady");
        t += Column("phi min") + Column("phi max") + Column("variation ") + "\n";
        const auto table = tables_.find(s.scheme);
        if (table != tables_.end()) t += table->second;
    }
    if (marked_) t += "\n* the total variation grew since the previous frame (the scheme is not TVD there).\n";
    return t;
}

}  // namespace cli
