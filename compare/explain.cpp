// The banner's words on what a cell Peclet number means for the schemes.
#include "explain.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace compare {

std::string Banner(double pe) {
    // One decimal, as the slider moves it ("5.0"), unless that would hide
    // digits that are there ("0.25").
    char number[32];
    const bool tenths = std::fabs(pe * 10 - std::round(pe * 10)) < 1e-9 * std::max(1.0, std::fabs(pe));
    std::snprintf(number, sizeof number, tenths && std::fabs(pe) < 1000 ? "%.1f" : "%.3g", pe);
    const std::string head = std::string("Pe = ") + number + ": ";
    const double size = std::fabs(pe);
    if (size == 0) return head + "pure diffusion: every scheme is bounded, and central differencing is exact";
    if (size < 2)
        return head +
               "every scheme is bounded here (|Pe| < 2); central differencing is second order, "
               "upwind first order and smeared";
    if (std::fabs(size - 2) < 1e-9)
        return head +
               "central differencing is at the edge of boundedness (|Pe| = 2); upwind is bounded but "
               "first order";
    return head +
           "central differencing is unbounded here (|Pe| > 2); upwind is bounded but first order; "
           "hybrid turns to upwind, and the exponential scheme stays exact";
}

std::string Banner(const study::Grid& g) {
    if (g.Uniform()) return Banner(g.Pe);
    const double narrowest = g.Pe * g.Narrowest() / g.dx, widest = g.Pe * g.Widest() / g.dx;
    const std::string words = Banner(widest);
    char head[96];
    std::snprintf(head, sizeof head, "Pe from %.3g in the narrowest cell to %.3g in the widest", narrowest, widest);
    return head + words.substr(words.find(':'));
}

std::string Banner(const study::Study& st) {
    const study::Grid g = st.results.empty() ? study::MakeGrid(st.problem, st.plan.N) : st.results[0].at(0).grid;
    std::string words = Banner(g);
    std::string within, beyond;
    auto add = [](std::string& list, study::Scheme s) {
        if (!list.empty()) list += ", ";
        list += study::Title(s);
    };
    for (const auto& perScheme : st.results)
        if (study::IsTvd(perScheme.at(0).scheme)) add(perScheme[0].bounded ? within : beyond, perScheme[0].scheme);
    if (within.empty() && beyond.empty()) return words;
    const auto [least, largest] = study::ExactRange(st.problem);
    char range[64];
    std::snprintf(range, sizeof range, "[%.4g, %.4g]", least, largest);
    if (!within.empty()) {
        words += "; the bounded schemes ticked (" + within + ") stay within ";
        words += range;
        words += " here";
    }
    if (!beyond.empty()) {
        words += "; " + beyond + (beyond.find(',') == std::string::npos ? " goes" : " go") + " beyond ";
        words += range;
        words += " here";
    }
    return words;
}

}  // namespace compare
