// The Time tab's banner in words.
#include "time_explain.hpp"

#include <QStringList>

#include "charts/charts.hpp"

namespace compare {

namespace {

QString Number(double v) { return QString::number(v, 'g', 3); }

}  // namespace

Standing StandingOf(const transient::Verdict& v) {
    if (v.tvd) return v.stable ? Standing::Fine : Standing::MayRing;
    if (!v.stable) return Standing::Unstable;
    return v.positive ? Standing::Fine : Standing::MayRing;
}

QString StabilityText(const std::vector<SchemeVerdict>& verdicts, const transient::Numbers& numbers, double theta,
                      const std::vector<transient::SchemeOutcome>& blowUps) {
    QStringList unstable, ring, limited, fine;
    for (const SchemeVerdict& sv : verdicts) {
        const QString name = charts::SchemeTitle(sv.scheme);
        const transient::Verdict& v = sv.verdict;
        switch (StandingOf(v)) {
            case Standing::Unstable:
                unstable.append(v.largestStableDt && *v.largestStableDt > 0
                                    ? QString("%1 (stable up to Δt = %2 s)").arg(name, Number(*v.largestStableDt))
                                    : QString("%1 (no step is stable)").arg(name));
                break;
            case Standing::MayRing:
                (v.tvd ? limited : ring).append(name);
                break;
            case Standing::Fine: fine.append(name); break;
        }
    }
    QStringList lines;
    if (!unstable.isEmpty())
        lines.append("Unstable at this Δt: " + unstable.join(", ") +
                     ". Each step makes some wave larger (|G| > 1), so the profile blows up.");
    if (!limited.isEmpty())
        ring.append(QString("%1 (a limiter is sure to make no new extrema only while (1 − θ)(2c + 2d) ≤ 1; "
                            "here it is %2)")
                        .arg(limited.join(", "), Number((1 - theta) * (2 * numbers.courant + 2 * numbers.diffusion))));
    if (!ring.isEmpty())
        lines.append("May ring: " + ring.join(", ") +
                     ". Stable, but a step can make new wiggles: highs and lows the exact solution does not have.");
    if (!fine.isEmpty()) lines.append("Fine: " + fine.join(", ") + ".");
    for (const transient::SchemeOutcome& o : blowUps)
        lines.append(QString("%1 blew up: it grew past 1e6 at t = %2 s (step %3); its last good profile is shown.")
                         .arg(charts::SchemeTitle(o.scheme), Number(o.blowUpTime))
                         .arg(o.blowUpStep));
    return lines.join('\n');
}

}  // namespace compare
