// Reading convdiff-transient's command line, and its usage text.
#include "transient_options.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "cli/problem_options.hpp"
#include "files/whole_file.hpp"
#include "study/numbers.hpp"
#include "transient/rows.hpp"

namespace cli {

const char* const kTransientUsage =
    "Usage: convdiff-transient [options]\n"
    "Marches rho dphi/dt + d(rho u phi)/dx = d(Gamma dphi/dx)/dx + Su + Sp phi on 0 <= x <= L,\n"
    "0 < t <= t_end, with a value, a gradient or a Robin wall at each end (phi(0, t) = phiA,\n"
    "phi(L, t) = phiB unless told otherwise) or a periodic domain, with every scheme by the\n"
    "chosen time method, says before marching whether each step is stable, and measures each\n"
    "scheme against the exact solution or its own steady state.\n"
    "\n"
    "Problem (numbers with \".\" as the decimal point):\n"
    CONVDIFF_ENDS_USAGE
    "  --periodic    no ends: phi(x + L) = phi(x); a wave that leaves at one end comes back\n"
    "                in at the other (not with --phiA, --phiB, --left or --right)\n"
    "  --u V         velocity in m/s (default 0.1)\n"
    "  --N K         control volumes, a whole number from 1 to 10000000 (default 50)\n"
    "  --L V         length of the domain in m, above 0 (default 1)\n"
    "  --rho V       density in kg/m3, above 0 (default 1)\n"
    "  --gamma V     diffusion coefficient in kg/(m s), 0 or more (default 0.1)\n"
    "  --initial S   the state at t = 0: uniform:V (default uniform:0), step:X0 (from the left\n"
    "                end's value to the right end's, 1 and 0 where an end fixes no value),\n"
    "                pulse:X0:S (a Gaussian, S > 0 its standard deviation) or square:X1:X2\n"
    "                (X1 < X2); positions within [0, L]; terms may be summed with +, as in\n"
    "                pulse:0.3:0.05+square:0.6:0.8\n"
    "\n"
    "Time:\n"
    "  --time T      explicit (forward Euler), cn (Crank-Nicolson) or implicit (backward\n"
    "                Euler), the theta-method with theta 0, 1/2, 1 (default implicit);\n"
    "                lw: flux-limited Lax-Wendroff, one explicit step with the limited\n"
    "                corrections scaled by 1 - c (central, upwind and the limiters only);\n"
    "                ssprk2, ssprk3: strong-stability-preserving Runge-Kutta, 2 or 3\n"
    "                forward-Euler stages combined, TVD wherever forward Euler is\n"
    "  --theta T     or any theta from 0 (explicit) to 1 (implicit), with the theta-method\n"
    "  --dt V        the time step in s (default 0.1)\n"
    "  --t-end V     the end time in s (default 10)\n"
    "  --frames K    frames kept, a whole number from 1 to 100000 (default 10); the run takes\n"
    "                n = K ceil(t_end / (K dt)) steps of t_end / n\n"
    "\n"
    "Schemes:\n"
    "  --schemes LIST  comma-separated: central, upwind, hybrid, quick, powerlaw,\n"
    "                  exponential, linear (those six); minmod, vanleer, vanalbada,\n"
    "                  superbee, mc, koren, ospre, umist, quicklimited, tvd (those nine);\n"
    "                  or all (default linear; quick needs N >= 3)\n"
    "\n"
    "Output files (each written whole or not at all):\n"
    "  --history FILE          CSV: scheme,t,i,x,phi,exact at every frame\n"
    "  --errors FILE           CSV: scheme,step,t,max_error,rms_error,phi_min,phi_max,\n"
    "                          total_variation,l1_error\n"
    "  --stability FILE        CSV: scheme,theta,dt,courant,diffusion_number,cell_peclet,\n"
    "                          max_amplification,stable,positive,largest_stable_dt,\n"
    "                          matrix_max_amplification,matrix_stable,positive_implicit,\n"
    "                          positive_explicit,tvd,largest_positive_dt\n"
    "  --outcome FILE          CSV: scheme,blew_up,blow_up_time,variation_growth,overshoot,\n"
    "                          undershoot,contradicts_verdict,stopped (what each run did)\n"
    "  --plot FILE             the solutions at t_end (.png or .svg)\n"
    "  --space-time-plot FILE  phi over x and t, a panel per scheme (.png)\n"
    "  --handout FILE          one A4 PDF to take home: the problem, the profiles at the start,\n"
    "                          middle and end, the space-time picture and the verdicts (.pdf)\n"
    "  For --history, --errors and --stability, FILE - is standard output (the report is then\n"
    "  left out). Two options may not name the same file, nor one the file the report goes to.\n"
    "\n"
    "  --help        this text\n"
    "  --version     the version\n"
    "\n"
    "Exit status: 0 done (a scheme that blows up is a result), 1 a calculation failed or a\n"
    "file could not be written, 2 a bad option or value.\n";

namespace {


// The schemes of a list, or a usage error naming the wrong name.
std::vector<study::Scheme> Schemes(const std::string& value) {
    try {
        return study::SchemesNamed(value);
    } catch (const study::SchemeListError& e) {
        Bad("schemes", value, std::string(e.what()) + " (choose from the names in --help, or linear, tvd, all)");
    }
}

// One term of the initial state; `fail` says what is wrong with it.
template <class Fail>
transient::Term InitialTerm(const std::string& value, double L, Fail fail) {
    const std::vector<std::string> parts = Split(value, ':');
    const std::string& kind = parts[0];
    const std::map<std::string, std::pair<transient::Shape, std::size_t>> shapes{
        {"uniform", {transient::Shape::Uniform, 1}},
        {"step", {transient::Shape::Step, 1}},
        {"pulse", {transient::Shape::Pulse, 2}},
        {"square", {transient::Shape::Square, 2}}};
    const auto shape = shapes.find(kind);
    if (shape == shapes.end()) fail("choose uniform:V, step:X0, pulse:X0:S or square:X1:X2");
    const std::size_t count = shape->second.second;
    if (parts.size() != count + 1)
        fail(kind + " takes " + (count == 1 ? "one number" : "two numbers") + " after the name");
    double numbers[2] = {0, 0};
    for (std::size_t i = 0; i < count; ++i) {
        const std::optional<double> v = study::ReadStrictNumber(parts[i + 1]);
        if (!v) fail("'" + parts[i + 1] + "': " + study::NumberProblem(parts[i + 1]));
        numbers[i] = *v;
    }
    const transient::Term s{shape->second.first, numbers[0], numbers[1]};
    const bool positions = s.shape != transient::Shape::Uniform;
    if (positions && !(0 <= s.a && s.a <= L)) fail("the position must lie within [0, L]");
    if (s.shape == transient::Shape::Square && !(0 <= s.b && s.b <= L)) fail("the position must lie within [0, L]");
    if (s.shape == transient::Shape::Square && !(s.a < s.b)) fail("needs X1 < X2");
    if (s.shape == transient::Shape::Pulse && !(s.b > 0)) fail("S, the standard deviation, must be above 0");
    return s;
}

// The sum of the terms joined by '+'; an error names the term at fault.
transient::Initial InitialState(const std::string& value, double L) {
    const std::vector<std::string> terms = Split(value, '+');
    transient::Initial s;
    s.terms.clear();
    for (const std::string& term : terms)
        s.terms.push_back(InitialTerm(term, L, [&](const std::string& why) {
            Bad("initial", value, terms.size() == 1 ? why : "in the term '" + term + "': " + why);
        }));
    return s;
}

// --time: the method, and the theta of the theta-method (0 for the
// explicit methods, whose stages are forward Euler).
void TimeMethod(const std::string& value, transient::Plan& plan) {
    const std::map<std::string, std::pair<transient::Method, double>> methods{
        {"explicit", {transient::Method::Theta, 0.0}},      {"cn", {transient::Method::Theta, 0.5}},
        {"implicit", {transient::Method::Theta, 1.0}},      {"lw", {transient::Method::LaxWendroff, 0.0}},
        {"ssprk2", {transient::Method::Ssprk2, 0.0}},       {"ssprk3", {transient::Method::Ssprk3, 0.0}}};
    const auto m = methods.find(value);
    if (m == methods.end())
        Bad("time", value, "choose explicit, cn, implicit, lw, ssprk2 or ssprk3 (or give --theta)");
    plan.method = m->second.first;
    plan.theta = m->second.second;
}

// Under a method that does not march some schemes: one named in the list is
// an error, one that came with a group is left out with a note.
void LeaveOutUnmarched(const std::string& list, transient::Plan& plan, std::vector<std::string>& notes) {
    const std::vector<std::string> named = Split(list, ',');
    std::vector<std::string> left;
    for (auto it = plan.schemes.begin(); it != plan.schemes.end();) {
        if (transient::MarchesBy(plan.method, *it)) {
            ++it;
            continue;
        }
        const std::string name(study::Name(*it));
        if (std::find(named.begin(), named.end(), name) != named.end())
            Bad("schemes", list,
                name + " cannot be marched by " + std::string(transient::MethodTitle(plan.method)) +
                    " (--time " + std::string(transient::MethodName(plan.method)) +
                    "): choose central, upwind or a limiter");
        left.push_back(name);
        it = plan.schemes.erase(it);
    }
    if (left.empty()) return;
    std::string text;
    for (std::size_t i = 0; i < left.size(); ++i) {
        text += i == 0 ? "" : i + 1 == left.size() ? " and " : ", ";
        text += left[i];
    }
    notes.push_back(text + (left.size() == 1 ? " is" : " are") + " left out: " +
                    std::string(transient::MethodTitle(plan.method)) +
                    " marches only central, upwind and the limiters.");
}

// What of this step's numbers is beyond the range of a double, or "".
std::string NumbersBeyondADouble(const transient::Plan& plan) {
    const std::optional<transient::Steps> steps = transient::StepsOf(plan.tEnd, plan.dt, plan.frames);
    if (!steps) return "the steps";
    const transient::Numbers n = transient::NumbersOf(plan.problem, plan.N, steps->dt);
    std::vector<std::string> beyond;
    for (const auto& [value, name] : {std::pair{n.courant, "the Courant number |u| dt / dx"},
                                      {n.diffusion, "the diffusion number Gamma dt / (rho dx^2)"},
                                      {n.lambda, "dt / (rho dx)"}})
        if (!std::isfinite(value)) beyond.push_back(name);
    std::string what;
    for (std::size_t i = 0; i < beyond.size(); ++i)
        what += (i == 0 ? "" : i + 1 == beyond.size() ? " and " : ", ") + beyond[i];
    return what;
}

// Names the given options that take this step's numbers beyond a double:
// each one that, put back to its default, brings them within range, or,
// when no one alone does, every given option that takes part.
[[noreturn]] void BlameForTheNumbers(const transient::Plan& plan, std::map<std::string, std::string>& given,
                                     const std::string& what) {
    const transient::Plan defaults;
    using Reset = void (*)(transient::Plan&, const transient::Plan&);
    const std::pair<const char*, Reset> parts[] = {
        {"u", [](transient::Plan& p, const transient::Plan& d) { p.problem.u = d.problem.u; }},
        {"gamma", [](transient::Plan& p, const transient::Plan& d) { p.problem.gamma = d.problem.gamma; }},
        {"rho", [](transient::Plan& p, const transient::Plan& d) { p.problem.rho = d.problem.rho; }},
        {"L", [](transient::Plan& p, const transient::Plan& d) { p.problem.L = d.problem.L; }},
        {"N", [](transient::Plan& p, const transient::Plan& d) { p.N = d.N; }},
        {"dt", [](transient::Plan& p, const transient::Plan& d) { p.dt = d.dt; }},
        {"t-end", [](transient::Plan& p, const transient::Plan& d) { p.tEnd = d.tEnd; }},
        {"frames", [](transient::Plan& p, const transient::Plan& d) { p.frames = d.frames; }},
    };
    std::vector<std::string> culprits, takingPart;
    for (const auto& [option, reset] : parts) {
        if (!given.count(option)) continue;
        takingPart.push_back(option);
        transient::Plan tried = plan;
        reset(tried, defaults);
        if (NumbersBeyondADouble(tried).empty()) culprits.push_back(option);
    }
    if (culprits.empty()) culprits = takingPart;
    if (culprits.empty()) culprits = {"dt"};
    const bool several = what.find(" and ") != std::string::npos;
    std::string why = what + " of this step " + (several ? "are" : "is") + " beyond the range of a double";
    for (std::size_t i = 1; i < culprits.size(); ++i)
        why += (i == 1 ? " (with " : ", ") + ("--" + culprits[i] + " '" + given[culprits[i]] + "'");
    if (culprits.size() > 1) why += ")";
    Bad(culprits[0], given.count(culprits[0]) ? given[culprits[0]] : "0.1", why);
}

}  // namespace

TransientOptions ParseTransient(const std::vector<std::string>& args) {
    TransientOptions o;
    transient::Plan& plan = o.plan;
    study::Problem& p = plan.problem;
    bool defaultSchemes = true;
    Setters setters{
        {"periodic", [&](auto& n, auto& v) {
             if (!v.empty()) Bad(n, v, "takes no value");
             p.periodic = true;
         }},
        {"N", [&](auto& n, auto& v) { plan.N = Whole(n, v, 1, study::kMaxN); }},
        {"initial", [&](auto&, auto&) {}},  // read once L is known
        {"time", [&](auto&, auto& v) { TimeMethod(v, plan); }},
        {"theta", [&](auto& n, auto& v) { plan.theta = Number(n, v); }},
        {"dt", [&](auto& n, auto& v) { plan.dt = Number(n, v); }},
        {"t-end", [&](auto& n, auto& v) { plan.tEnd = Number(n, v); }},
        {"frames", [&](auto& n, auto& v) { plan.frames = Whole(n, v, 1, transient::kMaxFrames); }},
        {"schemes",
         [&](auto&, auto& v) {
             plan.schemes = Schemes(v);
             defaultSchemes = v == "linear" || v == "all";  // groups leave quick out quietly
         }},
        {"history", [&](auto&, auto& v) { o.historyFile = v; }},
        {"errors", [&](auto&, auto& v) { o.errorsFile = v; }},
        {"stability", [&](auto&, auto& v) { o.stabilityFile = v; }},
        {"outcome", [&](auto&, auto& v) { o.outcomeFile = v; }},
        {"plot", [&](auto&, auto& v) { o.plotFile = v; }},
        {"space-time-plot", [&](auto&, auto& v) { o.spaceTimePlotFile = v; }},
        {"handout", [&](auto&, auto& v) { o.handoutFile = v; }},
    };
    AddProblemSetters(setters, p);
    Given read = ReadAndSet(args, setters);
    o.help = read.help;
    o.version = read.version;
    if (o.help || o.version) return o;
    std::map<std::string, std::string>& given = read.values;

    CheckProblem(p, given, study::Use::Transient);
    ReadGrid(p, given, plan.N);
    const bool stretched = !study::MakeGrid(p, plan.N).Uniform();
    if (p.periodic && stretched) Bad("grid", given["grid"], "a periodic domain takes equal cells");
    if (stretched && plan.method == transient::Method::LaxWendroff)
        Bad("grid", given["grid"],
            "flux-limited Lax-Wendroff scales every correction by one 1 - c, and on unequal cells each cell has its "
            "own c: use --time ssprk2, ssprk3 or the theta-method");
    if (plan.method != transient::Method::Theta && given.count("theta"))
        Bad("theta", given["theta"],
            std::string(transient::MethodTitle(plan.method)) + " (--time " + given["time"] +
                ") has no theta: --theta is for the theta-method");
    if (given.count("time") && given.count("theta"))
        Bad("theta", given["theta"], "give either --time or --theta, not both");
    if (!(0 <= plan.theta && plan.theta <= 1)) Bad("theta", given["theta"], "must lie from 0 to 1");
    if (!(plan.dt > 0)) Bad("dt", given["dt"], "the time step must be above 0");
    if (!(plan.tEnd > 0)) Bad("t-end", given["t-end"], "the end time must be above 0");
    if (given.count("initial")) plan.initial = InitialState(given["initial"], p.L);

    const std::optional<transient::Steps> steps = transient::StepsOf(plan.tEnd, plan.dt, plan.frames);
    // Too many steps: the step asked for is too small, or, with the
    // default step, the end time too far.
    if (!steps) {
        const std::string option = given.count("dt") || !given.count("t-end") ? "dt" : "t-end";
        Bad(option, given.count(option) ? given[option] : "0.1",
            "the run would take more than " + std::to_string(transient::kMaxSteps) + " steps");
    }
    if (double(plan.N) * double(steps->n) > transient::kMaxWork)
        Bad("N", std::to_string(plan.N),
            "N times the " + std::to_string(steps->n) + " steps is more than 2e10 node updates");

    if (const std::string why = NumbersBeyondADouble(plan); !why.empty()) BlameForTheNumbers(plan, given, why);

    auto quick = std::find(plan.schemes.begin(), plan.schemes.end(), study::Scheme::Quick);
    if (quick != plan.schemes.end() && plan.N < study::MinimumN(study::Scheme::Quick)) {
        if (!defaultSchemes) Bad("N", std::to_string(plan.N), "the QUICK scheme needs N of at least 3");
        plan.schemes.erase(quick);
        o.notes.push_back("quick is left out: it needs N of at least 3.");
    }
    LeaveOutUnmarched(given.count("schemes") ? given["schemes"] : "linear", plan, o.notes);

    const std::pair<const char*, std::string*> outputs[] = {{"history", &o.historyFile},
                                                            {"errors", &o.errorsFile},
                                                            {"stability", &o.stabilityFile},
                                                            {"outcome", &o.outcomeFile},
                                                            {"plot", &o.plotFile},
                                                            {"space-time-plot", &o.spaceTimePlotFile},
                                                            {"handout", &o.handoutFile}};
    for (const auto& [option, file] : outputs)
        if (given.count(option) && file->empty()) Bad(option, *file, "needs a file name");
    if (!o.plotFile.empty() && !EndsWith(o.plotFile, ".png") && !EndsWith(o.plotFile, ".svg"))
        Bad("plot", o.plotFile, "the file name must end in .png or .svg");
    if (!o.spaceTimePlotFile.empty() && !EndsWith(o.spaceTimePlotFile, ".png"))
        Bad("space-time-plot", o.spaceTimePlotFile, "the file name must end in .png");
    if (!o.handoutFile.empty() && !EndsWith(o.handoutFile, ".pdf"))
        Bad("handout", o.handoutFile, "the file name must end in .pdf");
    for (std::size_t i = 0; i < std::size(outputs); ++i)
        for (std::size_t j = i + 1; j < std::size(outputs); ++j)
            if (!outputs[i].second->empty() && !outputs[j].second->empty() &&
                files::SameFile(*outputs[i].second, *outputs[j].second))
                Bad(outputs[j].first, *outputs[j].second, std::string("is also the file of --") + outputs[i].first);
    std::vector<std::pair<std::string, std::string>> named;
    for (const auto& [option, file] : outputs) named.emplace_back(option, *file);
    const std::vector<std::pair<std::string, std::string>> tables{
        {"history", o.historyFile}, {"errors", o.errorsFile}, {"stability", o.stabilityFile}};
    o.report = ReportShown(tables);
    RefuseReportsFile(named, tables);
    return o;
}

}  // namespace cli
