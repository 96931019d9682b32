// The Time tab's banner in words.
#include "time_explain.hpp"

#include <QStringList>

#include "charts/charts.hpp"
#include "transient/verdict_text.hpp"

namespace compare {

namespace {

QString Number(double v) { return QString::number(v, 'g', 3); }

QString Words(const std::string& text) { return QString::fromStdString(text); }

// The TVD condition of the inflow row, which decides, as the method writes
// it.
QString TvdCondition(const transient::Plan& plan) {
    if (plan.method == transient::Method::LaxWendroff) return "c(1 + (1 − c)β) + 2d ≤ 1 and c ≤ 1";
    if (plan.method != transient::Method::Theta || plan.theta == 0) return "c(1 + β) + 2d ≤ 1";
    return "(1 − θ)(c(1 + β) + 2d) ≤ 1";
}

}  // namespace

Standing StandingOf(const transient::Verdict& v) {
    if (v.tvd) return v.tvdHolds ? Standing::Fine : Standing::NotTvd;
    if (!v.stable) return Standing::Unstable;
    return v.positive && !v.steadySingular && !v.steadyNearlySingular ? Standing::Fine : Standing::MayRing;
}

QString StabilityText(const transient::Plan& plan, const transient::Outcome& outcome, bool ended) {
    QStringList unstable, notTvd, ring, fine, singular, contradicted, bounded, grewStable, runs;
    for (const transient::SchemeOutcome& s : outcome.schemes) {
        const QString name = charts::SchemeTitle(s.scheme);
        const transient::Verdict& v = s.verdict;
        const bool broken = ended && transient::Contradicts(outcome, s);
        switch (StandingOf(v)) {
            case Standing::Unstable: {
                QString why = v.vonNeumannStable && v.matrixTested && !v.matrixStable
                                  ? Words(v.decidingRows.empty() ? "the end rows" : v.decidingRows) + "; "
                                  : QString();
                unstable.append(v.largestStableDt && *v.largestStableDt > 0
                                    ? QString("%1 (%2stable up to Δt = %3 s)").arg(name, why, Number(*v.largestStableDt))
                                    : QString("%1 (%2no step is stable)").arg(name, why));
                break;
            }
            case Standing::NotTvd:
                notTvd.append(v.largestTvdDt && *v.largestTvdDt > 0
                                  ? QString("%1 (TVD up to Δt = %2 s)").arg(name, Number(*v.largestTvdDt))
                                  : QString("%1 (no step is TVD)").arg(name));
                break;
            case Standing::MayRing: ring.append(name); break;
            case Standing::Fine:
                // A run that stopped early is said below, never called fine.
                if (broken)
                    contradicted.append(name);
                else if (!(ended && (s.blewUp || s.stalled)))
                    fine.append(name);
                break;
        }
        if (!transient::SingularWords(plan, s).empty()) singular.append(name);
        if (!ended) continue;
        // What the run did: the bounded runs in one line (a fine scheme's
        // already said so), the others each in its own.
        const bool quiet = !s.blewUp && !s.stalled && !transient::NewExtrema(outcome, s) && !transient::VariationGrew(s);
        if (s.blewUp)
            runs.append(QString("%1 blew up: it grew past %2 at t = %3 s (step %4); its last good profile is shown.")
                            .arg(name, Words(transient::Short(outcome.blowUpLimit)), Number(s.blowUpTime))
                            .arg(s.blowUpStep));
        else if (s.stalled)
            runs.append(name + " " + Words(transient::RunWords(outcome, s)) + " Its last good profile is shown.");
        else if (quiet && !(StandingOf(v) == Standing::Fine && !broken))
            bounded.append(name);
        else if (!quiet)
            runs.append(name + ": " + Words(transient::RunWords(outcome, s)));
        // A broken promise of no new extrema is said as it is; growth after
        // "stable" is explained once for all the schemes it happened to.
        const std::string why = broken ? transient::ContradictionWords(outcome, s) : std::string();
        if (why.rfind("This contradicts", 0) == 0)
            runs.append(Words(why));
        else if (broken)
            grewStable.append(name);
    }
    QStringList lines;
    if (!unstable.isEmpty())
        lines.append("Unstable at this Δt: " + unstable.join(", ") +
                     ". Some mode grows every step (|g| > 1), so the profile blows up.");
    if (!notTvd.isEmpty())
        lines.append("Not TVD at this Δt: " + notTvd.join(", ") + ". A limiter keeps a step free of new extrema only while " +
                     TvdCondition(plan) +
                     " in the inflow row (its mirror node doubles ψ/r; the interior rows ask β/2 in place of β), "
                     "with β = sup ψ(r)/r its own; here new extrema can appear and grow.");
    if (!ring.isEmpty())
        lines.append("May ring: " + ring.join(", ") +
                     ". Stable, but not positive: a step can make new wiggles, highs and lows the exact solution does "
                     "not have.");
    if (!singular.isEmpty())
        lines.append("Singular steady equations: " + singular.join(", ") +
                     ". A mode that no step damps (without diffusion, central's checkerboard) can grow although no "
                     "|g| is above 1.");
    if (!contradicted.isEmpty())
        lines.append("Contradicted by the run: " + contradicted.join(", ") + ". The verdict promised no new extrema.");
    if (!fine.isEmpty())
        lines.append((ended ? "Fine, and the run agrees: " : "Fine: ") + fine.join(", ") + ".");
    if (!bounded.isEmpty()) lines.append("Bounded at every frame: " + bounded.join(", ") + ".");
    lines.append(runs);
    if (!grewStable.isEmpty())
        lines.append("Grew although stable: " + grewStable.join(", ") +
                     ". A stable verdict looks at the eigenvalues of the step only; the powers of a step matrix far "
                     "from normal can grow a long way before they decay (or without end, with a mode that no step "
                     "damps).");
    return lines.join('\n');
}

}  // namespace compare
