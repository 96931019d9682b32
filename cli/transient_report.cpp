#include "transient_report.hpp"

#include "study/describe.hpp"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "transient/rows.hpp"
#include "transient/verdict_text.hpp"

namespace cli {

namespace {

std::string Column(const std::string& text, std::size_t width = 12) {
    return text.size() >= width ? text + " " : std::string(width - text.size(), ' ') + text;
}

std::string NameOf(study::Scheme s) { return std::string(study::Name(s)); }

std::string Seconds(double t) { return Short(t) + " s"; }

// The frames where the exact reference no longer fits the boundary values.
std::vector<long> FramesWithoutExact(const TransientOptions& o, const transient::Outcome& out) {
    std::vector<long> frames;
    for (long k = 0; k <= o.plan.frames; ++k) {
        const double t = double(k * out.steps.perFrame) * out.steps.dt;
        if (!transient::ExactApplies(o.plan.problem, o.plan.initial, t)) frames.push_back(k);
    }
    return frames;
}

}  // namespace

std::string FramesWords(const std::vector<long>& frames) {
    std::vector<std::string> runs;  // "2", "3-7"
    for (std::size_t i = 0; i < frames.size();) {
        std::size_t j = i;
        while (j + 1 < frames.size() && frames[j + 1] == frames[j] + 1) ++j;
        std::string run = std::to_string(frames[i]);
        if (j > i) {
            run += '-';
            run += std::to_string(frames[j]);
        }
        runs.push_back(std::move(run));
        i = j + 1;
    }
    if (runs.empty()) return {};
    std::string words = runs.size() == 1 && frames.size() == 1 ? "frame " : "frames ";
    for (std::size_t r = 0; r < runs.size(); ++r) {
        if (r > 0) words += r + 1 == runs.size() ? " and " : ", ";
        words += runs[r];
    }
    return words;
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
    const bool grew = st.variationGrew;
    marked_ = marked_ || grew;
    // The sum of the jumps can pass the largest double when the values are near it.
    const std::string variation = std::isfinite(st.totalVariation)
                                      ? Short(st.totalVariation)
                                      : std::string(">").append(Short(std::numeric_limits<double>::max()));
    row += Column(variation + (grew ? "*" : " "));
    table += row + "\n";
}

// On unequal cells the numbers are the narrowest cell's, the largest c and
// d of the grid, which decide von Neumann's verdict and the TVD condition.
static std::string NarrowestCell(const transient::Plan& plan) {
    const study::Grid g = study::MakeGrid(plan.problem, plan.N);
    if (g.Uniform()) return "";
    long cell = 1;
    for (long i = 2; i <= g.N; ++i)
        if (g.Width(i) < g.Width(cell)) cell = i;
    return " (in the narrowest cell, cell " + std::to_string(cell) + " of width " + Short(g.Width(cell)) +
           " m, whose c and d are the grid's largest and decide von Neumann's verdict and the TVD condition)";
}

std::string TransientReport::Text(const transient::Outcome& out) const {
    const transient::Plan& plan = o_.plan;
    const study::Problem& p = plan.problem;
    const transient::Numbers& n = out.numbers;
    std::string t = std::string("Time-dependent convection-diffusion, rho dphi/dt + d(rho u phi)/dx = d(Gamma dphi/dx)/dx") +
                    (p.HasSource() ? " + Su + Sp phi\n" : "\n");
    t += "Problem: " + study::EndsText(p) + ", u = " + Short(p.u, 6) +
         " m/s, L = " + Short(p.L, 6) + " m, rho = " + Short(p.rho, 6) + " kg/m3, Gamma = " + Short(p.gamma, 6) +
         " kg/(m s), N = " + std::to_string(plan.N) +
         (!study::GridLine(p, plan.N).empty() ? study::GridLine(p, plan.N) : " (dx = " + Short(p.L / double(plan.N), 6) + " m)") + "\n";
    t += "Initial state: " + transient::Text(plan.initial);
    t += " (" + transient::Words(plan.initial) + ")\n";
    const char* name = plan.theta == 0 ? " (explicit)" : plan.theta == 0.5 ? " (Crank-Nicolson)"
                                                     : plan.theta == 1   ? " (implicit)"
                                                                         : "";
    const std::string method = plan.method == transient::Method::Theta
                                   ? "theta = " + Short(plan.theta, 6) + name
                                   : std::string(transient::MethodTitle(plan.method));
    t += "Time: " + method + ", n = " + std::to_string(out.steps.n) + " steps of dt = " +
         Seconds(out.steps.dt) + " to t_end = " + Seconds(plan.tEnd) + ", " + std::to_string(plan.frames) +
         (plan.frames == 1 ? " frame" : " frames");
    if (out.steps.dt != plan.dt)
        t += "\n      (the step is " + Seconds(out.steps.dt) + ", not the " + Seconds(plan.dt) +
             " asked for, so that the frames fall on steps)";
    t += "\nCourant number c = " + Short(n.courant) + ", diffusion number d = " + Short(n.diffusion) +
         ", cell Peclet number " + (std::isfinite(n.cellPeclet) ? Short(n.cellPeclet) : std::string("infinite")) +
         NarrowestCell(plan) + "\n";
    for (const std::string& note : o_.notes) t += "Note: " + note + "\n";

    t += "\nStability at this step (before marching):\n";
    for (const transient::SchemeOutcome& s : out.schemes) {
        t += "  " + NameOf(s.scheme) + ": " + transient::StabilityWords(plan, s) + "\n";
        for (const std::string& more : {transient::PositivityWords(s), transient::SingularWords(plan, s)})
            if (!more.empty()) t += "    " + more + "\n";
    }

    const bool exact = transient::HasExact(plan.initial);
    t += "\nWhat the run did (over its frames):\n";
    for (const transient::SchemeOutcome& s : out.schemes) {
        t += "  " + NameOf(s.scheme) + ": " + transient::RunWords(out, s);
        if (s.blewUp || s.stalled) {
            t += " Its rows end at frame " + std::to_string(s.lastFrame) + ".";
        } else if (!s.steadyFailure.empty()) {
            t += " Its steady reference could not be formed (" + s.steadyFailure +
                 "), so its distance to it is not measured.";
        } else if (out.hasSteady) {
            t += s.settledTime ? " Within " + Short(out.settleTolerance) + " of its steady solution from t = " +
                                     Seconds(*s.settledTime) + "."
                               : " Still " + Short(s.finalDistance) + " from its steady solution at t_end.";
        }
        t += "\n";
        if (const std::string why = transient::ContradictionWords(out, s); !why.empty()) t += "    " + why + "\n";
    }
    if (exact) {
        const std::string frames = FramesWords(FramesWithoutExact(o_, out));
        if (!frames.empty()) {
            t += "The exact reference (unbounded domain) no longer fits the boundary values at ";
            t += frames;
            t += " (marked !): their errors measure that, not the scheme.\n";
        }
    } else if (!out.hasSteady) {
        t += "With no diffusion there is no steady solution to settle on.\n";
    }

    for (const transient::SchemeOutcome& s : out.schemes) {
        t += '\n' + NameOf(s.scheme) + ":\n";
        t += Column("t (s)");
        if (exact)
            t += Column("max error") + Column("rms error ") + Column("l1 error ");
        else if (out.hasSteady && s.steadyFailure.empty())
            t += Column("to steady");
        t += Column("phi min") + Column("phi max") + Column("variation ") + "\n";
        const auto table = tables_.find(s.scheme);
        if (table != tables_.end()) t += table->second;
    }
    if (marked_) t += "\n* the total variation grew since the previous frame: the step was not TVD there.\n";
    return t;
}

}  // namespace cli
