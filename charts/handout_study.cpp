// A steady study in a handout, through the same charts and words as the
// programs' reports and windows.
#include "handout_study.hpp"

#include <cstdio>

#include "charts.hpp"
#include "study/describe.hpp"
#include "study/grid_layout.hpp"
#include "study/warnings.hpp"

namespace charts {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }
QString G(double v) { return Q(study::Short(v)); }

QString Printed(const char* format, double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, v);
    return QString::fromLatin1(buffer);
}

}  // namespace

QStringList ProblemLines(const study::Problem& p, long N) {
    QStringList lines;
    lines.append("Ends and source: " + Q(study::EndsText(p)) + (p.HasSource() ? "" : ", no source"));
    lines.append(QString("u = %1 m/s, N = %2, L = %3 m, ρ = %4 kg/m³, Γ = %5 kg/(m·s)")
                     .arg(G(p.u))
                     .arg(N)
                     .arg(G(p.L), G(p.rho), G(p.gamma)));
    const study::Grid g = study::MakeGrid(p, N);
    if (g.Uniform()) {
        lines.append("Grid: " + QString::number(N) + " equal cells of δx = " + G(g.dx) + " m");
        lines.append("Cell Peclet number Pe = F / D = ρu δx / Γ = " + G(g.Pe) + "; of the domain, ρuL / Γ = " +
                     G(study::DomainPeclet(p)));
    } else {
        lines.append("Grid: " + Q(study::GridText(p.grid)) + ", " + QString::number(N) + " cells from " +
                     G(g.Narrowest()) + " to " + G(g.Widest()) + " m");
        lines.append("Cell Peclet number Pe = F / D: " + G(g.F * g.Narrowest() / (g.D * g.dx)) +
                     " in the narrowest cell, " + G(g.F * g.Widest() / (g.D * g.dx)) + " in the widest; of the domain, " +
                     "ρuL / Γ = " + G(study::DomainPeclet(p)));
    }
    return lines;
}

HandoutTable StudyErrors(const study::Study& st) {
    HandoutTable t;
    const bool several = st.sizes.size() > 1;
    QString order = "Order";
    if (several)
        order += QString(" (N = %1 to %2)").arg(st.sizes[st.sizes.size() - 2]).arg(st.sizes.back());
    t.header = {QString("Max error (N = %1)").arg(st.plan.N), order, "Bounded", "Verdict"};
    t.header.prepend("Scheme");
    for (const std::vector<study::Result>& grids : st.results) {
        const study::Result& r = grids.front();
        const std::optional<double>& finest = grids.back().orderMax;
        const std::string warning = study::Warning(st, r);
        t.rows.push_back({SchemeTitle(r.scheme), Printed("%.4e", r.maxError),
                          several && finest ? Printed("%.2f", *finest) : QString("–"), r.bounded ? "yes" : "no",
                          warning.empty() ? QString(kNothingToWarn) : Q(warning)});
        t.marked.push_back(!r.bounded);
    }
    return t;
}

std::unique_ptr<LimiterChart> SwebyOf(const study::Study& st) {
    std::vector<study::Limiter> limiters;
    for (const auto& grids : st.results)
        if (const auto l = study::LimiterOf(grids.at(0).scheme)) limiters.push_back(*l);
    if (limiters.empty()) return nullptr;
    auto chart = std::make_unique<LimiterChart>();
    chart->Show(limiters);
    for (const auto& grids : st.results)
        if (const auto l = study::LimiterOf(grids.at(0).scheme))
            chart->ShowFaces(*l, study::LimitedFaces(st.problem, grids[0].grid, *l, grids[0].phi));
    return chart;
}

void AddStudy(Handout& h, const study::Study& st, const HandoutTable& errors, const study::Study* convergence) {
    h.Heading("The problem");
    h.Text("d(ρuφ)/dx = d(Γ dφ/dx)/dx" + QString(st.problem.HasSource() ? " + Su + Sp φ" : "") + " on 0 ≤ x ≤ L, by " +
           "the finite-volume method on N control volumes, every scheme against the exact solution.");
    h.Lines(ProblemLines(st.problem, st.plan.N));

    h.Heading(QString("The solutions at N = %1").arg(st.plan.N));
    auto solutions = std::make_unique<SolutionChart>();
    solutions->Show(st);
    h.Chart(std::move(solutions), QSize(760, 400));

    h.Heading("Errors against the exact solution");
    h.Table(errors);

    if (convergence && convergence->sizes.size() > 1) {
        h.Heading(QString("Convergence under refinement, N = %1 to %2")
                      .arg(convergence->sizes.front())
                      .arg(convergence->sizes.back()),
                  true);
        h.Text("The max error against N on log-log axes: a scheme of order p falls along a line of slope p.");
        auto chart = std::make_unique<ConvergenceChart>();
        chart->Show(*convergence);
        h.Chart(std::move(chart));
    }
    if (auto sweby = SwebyOf(st)) {
        h.Heading("Sweby's diagram of the limiters");
        h.Text(QString("ψ(r) of each limiter over the second-order TVD region, with the (r, ψ) point of every "
                       "limited face of the solution at N = %1.")
                   .arg(st.plan.N));
        h.Chart(std::move(sweby));
    }
}

}  // namespace charts
