// The one set of rules for a valid problem.
#include "rules.hpp"

#include <cmath>

#include "exact.hpp"

namespace study {

std::optional<Fault> Unusable(const Problem& p, Use use) {
    for (const auto& [name, v] : {std::pair<const char*, double>{"u", p.u}, {"L", p.L}, {"rho", p.rho},
                                  {"gamma", p.gamma}, {"su", p.su}, {"sp", p.sp}})
        if (!std::isfinite(v)) return Fault{name, "must be a finite number"};
    if (!(p.L > 0)) return Fault{"L", "the domain's length must be above 0"};
    if (!(p.rho > 0)) return Fault{"rho", "the density must be above 0"};
    if (p.gamma < 0) return Fault{"gamma", "the diffusion coefficient cannot be negative"};
    if (use == Use::Steady && p.gamma == 0)
        return Fault{"gamma", "with no diffusion the cell Peclet number is undefined"};
    if (p.sp > 0)
        return Fault{"sp", "Sp must be 0 or below: a positive Sp is a source that grows with phi, and the "
                           "linearised source would take it from the diagonal"};
    if (p.periodic) {
        if (use == Use::Steady) return Fault{"periodic", "a periodic domain is for time runs only"};
        return std::nullopt;
    }
    for (const auto& [name, e] : {std::pair<const char*, const End&>{"left", p.left}, {"right", p.right}}) {
        if (!std::isfinite(e.value) || !std::isfinite(e.h)) return Fault{name, "the end's numbers must be finite"};
        if (e.kind == EndKind::Robin && !(e.h > 0))
            return Fault{name, "Robin's H must be above 0 (H = 0 is the gradient 0, outflow)"};
    }
    const bool fixed = p.left.kind != EndKind::Gradient || p.right.kind != EndKind::Gradient;
    if (use == Use::Steady && !fixed && p.sp == 0)
        return Fault{"right", "no end fixes phi and Sp = 0: with a gradient at both ends phi plus any constant "
                              "solves the steady problem, so it has no unique solution; make one end a value "
                              "or a Robin wall, or give Sp below 0"};
    if (use == Use::Steady && !p.Plain()) {
        const ExactSolution exact(p);
        if (!exact.Finite())
            return Fault{p.left.kind == EndKind::Gradient ? "left" : p.right.kind == EndKind::Gradient ? "right" : "u",
                         exact.Why()};
    }
    return std::nullopt;
}

}  // namespace study
