// The problem's ends and source in words.
#include "describe.hpp"

#include "warnings.hpp"

namespace study {

std::string EndText(const End& e, const char* where) {
    const std::string at = where;
    switch (e.kind) {
        case EndKind::Value: return "phi(" + at + ") = " + Short(e.value);
        case EndKind::Gradient:
            return "dphi/dx(" + at + ") = " + Short(e.value) + (e.value == 0 ? " (outflow)" : "");
        case EndKind::Robin: return "Robin wall at x = " + at + ": H = " + Short(e.h) + ", V = " + Short(e.value);
    }
    return {};
}

std::string GridLine(const Problem& p, long N) {
    const Grid g = MakeGrid(p, N);
    if (g.Uniform()) return "";
    return ", grid " + GridText(p.grid) + ", cells from " + Short(g.Narrowest()) + " to " + Short(g.Widest()) + " m";
}

std::string EndsText(const Problem& p) {
    if (p.Plain()) return "phiA = " + Short(p.left.value) + ", phiB = " + Short(p.right.value);
    std::string out = p.periodic ? "periodic" : EndText(p.left, "0") + ", " + EndText(p.right, "L");
    if (p.HasSource()) out += ", Su = " + Short(p.su) + ", Sp = " + Short(p.sp);
    return out;
}

}  // namespace study
