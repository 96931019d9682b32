// A time run in a handout, through the verdicts' own sentences.
#include "handout_time.hpp"

#include <cmath>

#include "charts.hpp"
#include "handout_study.hpp"
#include "transient/verdict_text.hpp"

namespace charts {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }
QString S(double v) { return Q(transient::Short(v)); }

// The verdicts' words as sentences: a full stop where there is none.
QString Sentence(const std::string& words) {
    QString s = Q(words);
    if (!s.isEmpty() && !s.endsWith('.')) s += '.';
    return s;
}

}  // namespace

std::vector<long> HandoutFrames(long frames) {
    std::vector<long> shown{0};
    for (long k : {frames / 2, frames})
        if (k != shown.back()) shown.push_back(k);
    return shown;
}

std::unique_ptr<QChart> FrameChart(const transient::Plan& plan, double t, const std::vector<Profile>& profiles) {
    // The chart draws its plan's end: this frame's time is that end here.
    transient::Plan at = plan;
    at.tEnd = t;
    auto chart = std::make_unique<TransientProfileChart>();
    chart->Show(at, profiles);
    return chart;
}

QStringList TimeLines(const transient::Plan& plan, const transient::Outcome& out) {
    QStringList lines;
    lines.append("Initial state: " + Q(transient::Text(plan.initial)));
    QString method = Q(std::string(transient::MethodTitle(plan.method)));
    if (plan.method == transient::Method::Theta) {
        method = "the theta-method, θ = " + S(plan.theta);
        if (plan.theta == 0) method += " (explicit)";
        if (plan.theta == 0.5) method += " (Crank-Nicolson)";
        if (plan.theta == 1) method += " (implicit)";
    }
    lines.append(QString("Time: %1, %2 steps of Δt = %3 s to t_end = %4 s, %5 frames")
                     .arg(method)
                     .arg(out.steps.n)
                     .arg(S(out.steps.dt), S(plan.tEnd))
                     .arg(plan.frames));
    const transient::Numbers& n = out.numbers;
    lines.append("Courant number c = " + S(n.courant) + ", diffusion number d = " + S(n.diffusion) +
                 ", cell Peclet number " + (std::isfinite(n.cellPeclet) ? S(n.cellPeclet) : QString("infinite")));
    return lines;
}

QStringList VerdictLines(const transient::Plan& plan, const transient::Outcome& out) {
    QStringList lines;
    for (const transient::SchemeOutcome& s : out.schemes) {
        QString line = SchemeTitle(s.scheme) + ": " + Sentence(transient::StabilityWords(plan, s));
        for (const std::string& more : {transient::PositivityWords(s), transient::SingularWords(plan, s)})
            if (!more.empty()) line += " " + Sentence(more);
        line += " The run: " + Sentence(transient::RunWords(out, s));
        if (const std::string why = transient::ContradictionWords(out, s); !why.empty()) line += " " + Sentence(why);
        lines.append(line);
    }
    return lines;
}

void AddTimeRun(Handout& h, const transient::Plan& plan, const transient::Outcome& out,
                std::vector<std::unique_ptr<QChart>> frames, const QImage& spaceTime, bool withProblem, bool newPage) {
    h.Heading("The time-dependent run", newPage);
    h.Text("ρ ∂φ/∂t + ∂(ρuφ)/∂x = ∂(Γ ∂φ/∂x)/∂x" + QString(plan.problem.HasSource() ? " + Su + Sp φ" : "") +
           ", every scheme marched from the same initial state.");
    if (withProblem) h.Lines(ProblemLines(plan.problem, plan.N));
    h.Lines(TimeLines(plan, out));
    h.Heading("Stability verdicts and what the runs did");
    h.Lines(VerdictLines(plan, out));
    h.Heading("The profiles at the start, the middle and the end");
    for (std::unique_ptr<QChart>& chart : frames) h.Chart(std::move(chart), QSize(680, 360));
    if (!spaceTime.isNull()) {
        h.Heading("Space-time picture: φ as colour over x (across) and t (upwards)");
        h.Picture(spaceTime);
    }
}

}  // namespace charts
