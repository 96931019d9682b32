// Reading and checking the options that pose the problem.
#include "problem_options.hpp"

#include <sstream>

#include "study/numbers.hpp"

namespace cli {

namespace {

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t colon = text.find(':', start);
        parts.push_back(text.substr(start, colon - start));
        if (colon == std::string::npos) return parts;
        start = colon + 1;
    }
}

std::string Plain(double v) {
    std::ostringstream out;
    out.precision(15);
    out << v;
    return out.str();
}

}  // namespace

study::End ReadEnd(const std::string& option, const std::string& value) {
    const std::vector<std::string> parts = Split(value);
    const std::string& kind = parts[0];
    auto number = [&](std::size_t i, const char* what) {
        const std::optional<double> v = study::ReadStrictNumber(parts[i]);
        if (!v) Bad(option, value, std::string(what) + " '" + parts[i] + "': " + study::NumberProblem(parts[i]));
        return *v;
    };
    const char* const kinds = " (value:V, gradient:G, outflow or robin:H:V)";
    if (kind == "value" && parts.size() == 2) return study::End::Fixed(number(1, "the value"));
    if (kind == "gradient" && parts.size() == 2) return study::End::Slope(number(1, "the gradient"));
    if (kind == "outflow" && parts.size() == 1) return study::End::Outflow();
    if (kind == "robin" && parts.size() == 3) {
        const double h = number(1, "H");
        if (!(h > 0)) Bad(option, value, "H must be above 0 (H = 0 is outflow)");
        return study::End::Robin(h, number(2, "V"));
    }
    if (kind == "value" || kind == "gradient" || kind == "outflow" || kind == "robin")
        Bad(option, value, "'" + kind + "' takes " +
                               (kind == "robin" ? std::string("two numbers, robin:H:V")
                                : kind == "outflow" ? std::string("no number")
                                                    : "one number, " + kind + ":" + (kind == "value" ? "V" : "G")));
    Bad(option, value, "unknown kind of end '" + kind + "'" + kinds);
}

std::string EndText(const study::End& e) {
    switch (e.kind) {
        case study::EndKind::Value: return "value:" + Plain(e.value);
        case study::EndKind::Gradient: return "gradient:" + Plain(e.value);
        case study::EndKind::Robin: return "robin:" + Plain(e.h) + ":" + Plain(e.value);
    }
    return {};
}

void AddProblemSetters(Setters& s, study::Problem& p) {
    s["phiA"] = [&p](auto& n, auto& v) { p.left = study::End::Fixed(Number(n, v)); };
    s["phiB"] = [&p](auto& n, auto& v) { p.right = study::End::Fixed(Number(n, v)); };
    s["left"] = [&p](auto& n, auto& v) { p.left = ReadEnd(n, v); };
    s["right"] = [&p](auto& n, auto& v) { p.right = ReadEnd(n, v); };
    s["su"] = [&p](auto& n, auto& v) { p.su = Number(n, v); };
    s["sp"] = [&p](auto& n, auto& v) { p.sp = Number(n, v); };
    s["u"] = [&p](auto& n, auto& v) { p.u = Number(n, v); };
    s["L"] = [&p](auto& n, auto& v) { p.L = Number(n, v); };
    s["rho"] = [&p](auto& n, auto& v) { p.rho = Number(n, v); };
    s["gamma"] = [&p](auto& n, auto& v) { p.gamma = Number(n, v); };
}

void CheckProblem(const study::Problem& p, const std::map<std::string, std::string>& given, study::Use use) {
    auto value = [&](const std::string& option, const std::string& otherwise) {
        const auto at = given.find(option);
        return at == given.end() ? otherwise : at->second;
    };
    for (const auto& [end, value] : {std::pair<const char*, const char*>{"left", "phiA"}, {"right", "phiB"}})
        if (given.count(end) && given.count(value))
            Bad(end, given.at(end), std::string("give either --") + value + " or --" + end + ", not both");
    if (p.periodic)
        for (const char* end : {"left", "right", "phiA", "phiB"})
            if (given.count(end))
                Bad(end, given.at(end), "a periodic domain has no ends: leave --" + std::string(end) + " out");
    const std::optional<study::Fault> fault = study::Unusable(p, use);
    if (!fault) return;
    std::string option = fault->input;
    if (option == "left" && !given.count("left") && given.count("phiA")) option = "phiA";
    if (option == "right" && !given.count("right")) {
        if (given.count("phiB"))
            option = "phiB";
        else if (given.count("left"))
            option = "left";
    }
    const std::string shown = option == "left"    ? EndText(p.left)
                              : option == "right" ? EndText(p.right)
                              : option == "periodic" ? ""
                                                     : value(option, "");
    Bad(option, value(option, shown), fault->reason);
}

}  // namespace cli
