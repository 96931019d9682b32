// Reading and checking the options that pose the problem.
#include "problem_options.hpp"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "study/numbers.hpp"
#include "study/warnings.hpp"

namespace cli {

namespace {


std::string Plain(double v) {
    std::ostringstream out;
    out.precision(15);
    out << v;
    return out.str();
}

}  // namespace

study::End ReadEnd(const std::string& option, const std::string& value) {
    const std::vector<std::string> parts = Split(value, ':');
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
    s["grid"] = [](auto&, auto&) {};  // read once L and N are known
}

namespace {

// A faces file: one number a line, 0 first, L last, strictly increasing.
std::vector<double> FacesFile(const std::string& layout, const std::string& path, double L) {
    std::ifstream in(path);
    if (!in) Bad("grid", layout, "cannot read " + path + ": " + std::strerror(errno));
    std::vector<double> faces;
    std::string line;
    long number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::string where = path + " line " + std::to_string(number) + ": ";
        const std::optional<double> v = study::ReadStrictNumber(line);
        if (!v) Bad("grid", layout, where + "'" + line + "': " + study::NumberProblem(line));
        if (faces.empty() && *v != 0) Bad("grid", layout, where + "the first face must be 0, not " + line);
        if (!faces.empty() && !(*v > faces.back()))
            Bad("grid", layout, where + line + " is not above the face before it, " + study::Short(faces.back()));
        faces.push_back(*v);
    }
    if (faces.size() < 2) Bad("grid", layout, path + ": needs at least two faces, 0 and L");
    if (faces.back() != L)
        Bad("grid", layout, path + " line " + std::to_string(number) + ": the last face must be L = " + study::Short(L) +
                              ", not " + study::Short(faces.back()));
    return faces;
}

}  // namespace

void ReadGrid(study::Problem& p, const std::map<std::string, std::string>& given, long& N, int refine) {
    const auto at = given.find("grid");
    if (at == given.end()) return;
    const std::string& layout = at->second;
    const std::vector<std::string> parts = Split(layout, ':');
    study::GridLayout g;
    auto ratio = [&] {
        const std::optional<double> r = parts.size() == 2 ? study::ReadStrictNumber(parts[1]) : std::nullopt;
        if (!r) Bad("grid", layout, "'" + parts[0] + "' takes one number, " + parts[0] + ":R");
        if (!(*r > 0)) Bad("grid", layout, "the ratio R must be above 0");
        return *r;
    };
    if (layout == "uniform") {
        return;
    } else if (parts[0] == "geometric") {
        g.kind = study::GridKind::Geometric, g.ratio = ratio();
    } else if (parts[0] == "twosided") {
        g.kind = study::GridKind::TwoSided, g.ratio = ratio();
    } else if (layout.rfind("faces:", 0) == 0 && layout.size() > 6) {
        g.kind = study::GridKind::Faces;
        g.faces = FacesFile(layout, layout.substr(6), p.L);
        const long cells = long(g.faces.size()) - 1;
        if (given.count("N") && N != cells)
            Bad("N", given.at("N"), "the faces file " + layout.substr(6) + " has " + std::to_string(cells) +
                                        " cells: leave --N out, or give " + std::to_string(cells));
        N = cells;
    } else {
        Bad("grid", layout, "choose uniform, geometric:R, twosided:R or faces:FILE");
    }
    g.baseN = N;
    p.grid = g;
    for (int k = 0; k <= refine; ++k)
        if (const auto fault = study::GridFault(g, p.L, N << k)) Bad("grid", layout, *fault);
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
