// Reading convdiff-study's command line, and its usage text.
#include "options.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "cli/problem_options.hpp"
#include "files/whole_file.hpp"

namespace cli {

const char* const kUsage =
    "Usage: convdiff-study [options]\n"
    "Solves d(rho u phi)/dx = d(Gamma dphi/dx)/dx + Su + Sp phi on 0 <= x <= L, with a value,\n"
    "a gradient or a Robin wall at each end (phi(0) = phiA, phi(L) = phiB unless told otherwise),\n"
    "with every scheme, against the exact solution, on N, 2N, 4N, ... control volumes.\n"
    "\n"
    "Problem (numbers with \".\" as the decimal point):\n"
    CONVDIFF_ENDS_USAGE
    "  --u V         velocity in m/s (default 0.1)\n"
    "  --N K         control volumes, a whole number from 1 to 10000000 (default 5)\n"
    "  --L V         length of the domain in m, above 0 (default 1)\n"
    "  --rho V       density in kg/m3, above 0 (default 1)\n"
    "  --gamma V     diffusion coefficient in kg/(m s), above 0 (default 0.1)\n"
    "\n"
    "Study:\n"
    "  --schemes LIST  comma-separated names and groups (default linear; quick needs N >= 3):\n"
    "                  linear: central, upwind, hybrid, quick, powerlaw, exponential\n"
    "                  tvd (bounded, limited): minmod, vanleer, vanalbada, superbee, mc,\n"
    "                  koren, ospre, umist, quicklimited\n"
    "                  all: the fifteen\n"
    "  --refine K      also solve at 2N, 4N, ..., 2^K N (K from 0 to 20, default 0)\n"
    "  --max-iterations K  of each bounded scheme's nonlinear solve (1 to 100000,\n"
    "                  default 500); a solve that needs more fails\n"
    "\n"
    "Output files (each written whole or not at all):\n"
    "  --nodes FILE              CSV: scheme,N,i,x,phi,exact,error\n"
    "  --fluxes FILE             CSV: scheme,N,face,x,convective,diffusive,total (every face)\n"
    "  --errors FILE             CSV: scheme,N,Pe,max_error,rms_error,order_max,order_rms,\n"
    "                            bounded,negative_coefficients,iterations\n"
    "  --plot FILE               the solutions at the first N (.png or .svg)\n"
    "  --convergence-plot FILE   max error against N, log-log (.png or .svg; needs --refine >= 1)\n"
    "  --limiter-plot FILE       Sweby's diagram of the chosen bounded schemes' limiters,\n"
    "                            all nine when none is chosen (.png or .svg)\n"
    "  --handout FILE            one A4 PDF to take home: the problem, the solutions, the\n"
    "                            errors table, the convergence and Sweby's diagrams (.pdf)\n"
    "  For --nodes, --errors and --fluxes, FILE - is standard output (the report is then left out).\n"
    "  Two options may not name the same file, nor one the file the report goes to.\n"
    "\n"
    "  --help        this text\n"
    "  --version     the version\n"
    "\n"
    "Exit status: 0 done, 1 a calculation failed or a file could not be written,\n"
    "2 a bad option or value.\n";

namespace {

// The schemes of a list, or a usage error naming the wrong name.
std::vector<study::Scheme> Schemes(const std::string& value) {
    try {
        return study::SchemesNamed(value);
    } catch (const study::SchemeListError& e) {
        Bad("schemes", value, std::string(e.what()) + " (choose from the names or groups linear, tvd, all; see --help)");
    }
}

// Whether quick came in with a group, and may be left out quietly.
bool QuickByGroup(const std::string& value) {
    std::size_t start = 0;
    bool byName = false, byGroup = false;
    while (start <= value.size()) {
        const std::size_t comma = std::min(value.find(',', start), value.size());
        const std::string name = value.substr(start, comma - start);
        byName = byName || name == "quick";
        byGroup = byGroup || name == "linear" || name == "all";
        start = comma + 1;
    }
    return byGroup && !byName;
}

void ImageName(const std::string& option, const std::string& value) {
    if (!EndsWith(value, ".png") && !EndsWith(value, ".svg"))
        Bad(option, value, "the file name must end in .png or .svg");
}

}  // namespace

Options Parse(const std::vector<std::string>& args) {
    Options o;
    bool allSchemes = true;
    Setters setters{
        {"N", [&](auto& n, auto& v) { o.plan.N = Whole(n, v, 1, study::kMaxN); }},
        {"refine", [&](auto& n, auto& v) { o.plan.refine = static_cast<int>(Whole(n, v, 0, 20)); }},
        {"schemes",
         [&](auto&, auto& v) {
             o.plan.schemes = Schemes(v);
             allSchemes = QuickByGroup(v);
         }},
        {"nodes", [&](auto&, auto& v) { o.nodesFile = v; }},
        {"errors", [&](auto&, auto& v) { o.errorsFile = v; }},
        {"plot", [&](auto&, auto& v) { o.plotFile = v; }},
        {"convergence-plot", [&](auto&, auto& v) { o.convergencePlotFile = v; }},
        {"limiter-plot", [&](auto&, auto& v) { o.limiterPlotFile = v; }},
        {"max-iterations", [&](auto& n, auto& v) { o.plan.maxIterations = static_cast<int>(Whole(n, v, 1, 100000)); }},
        {"fluxes", [&](auto&, auto& v) { o.fluxesFile = v; }},
        {"handout", [&](auto&, auto& v) { o.handoutFile = v; }},
    };
    AddProblemSetters(setters, o.problem);
    Given read = ReadAndSet(args, setters);
    o.help = read.help;
    o.version = read.version;
    if (o.help || o.version) return o;
    std::map<std::string, std::string>& given = read.values;

    CheckProblem(o.problem, given, study::Use::Steady);
    ReadGrid(o.problem, given, o.plan.N, o.plan.refine);
    if (o.plan.N << o.plan.refine > study::kMaxN)
        Bad("refine", std::to_string(o.plan.refine),
            "the finest grid would have " + std::to_string(o.plan.N << o.plan.refine) + " control volumes, more than " +
                std::to_string(study::kMaxN));
    auto quick = std::find(o.plan.schemes.begin(), o.plan.schemes.end(), study::Scheme::Quick);
    if (quick != o.plan.schemes.end() && o.plan.N < study::MinimumN(study::Scheme::Quick)) {
        if (!allSchemes) Bad("N", std::to_string(o.plan.N), "the QUICK scheme needs N of at least 3");
        o.plan.schemes.erase(quick);
        o.notes.push_back("quick is left out: it needs N of at least 3.");
    }
    const std::pair<const char*, const std::string*> outputs[] = {{"nodes", &o.nodesFile},
                                                                  {"fluxes", &o.fluxesFile},
                                                                  {"errors", &o.errorsFile},
                                                                  {"plot", &o.plotFile},
                                                                  {"convergence-plot", &o.convergencePlotFile},
                                                                  {"limiter-plot", &o.limiterPlotFile},
                                                                  {"handout", &o.handoutFile}};
    for (const auto& [option, file] : outputs)
        if (given.count(option) && file->empty()) Bad(option, *file, "needs a file name");
    for (std::size_t a = 0; a < std::size(outputs); ++a)
        for (std::size_t b = a + 1; b < std::size(outputs); ++b) {
            const std::string &first = *outputs[a].second, &second = *outputs[b].second;
            if (!first.empty() && !second.empty() && files::SameFile(first, second))
                throw UsageError("--" + std::string(outputs[a].first) + " '" + first + "' and --" +
                                 outputs[b].first + " '" + second + "' name the same file");
        }
    std::vector<std::pair<std::string, std::string>> named;
    for (const auto& [option, file] : outputs) named.emplace_back(option, *file);
    const std::vector<std::pair<std::string, std::string>> tables{
        {"nodes", o.nodesFile}, {"errors", o.errorsFile}, {"fluxes", o.fluxesFile}};
    o.report = ReportShown(tables);
    RefuseReportsFile(named, tables);
    for (const auto& [option, file] : {std::pair{"plot", &o.plotFile},
                                       {"convergence-plot", &o.convergencePlotFile},
                                       {"limiter-plot", &o.limiterPlotFile}})
        if (!file->empty()) ImageName(option, *file);
    if (!o.handoutFile.empty() && !EndsWith(o.handoutFile, ".pdf"))
        Bad("handout", o.handoutFile, "the file name must end in .pdf");
    if (!o.convergencePlotFile.empty() && o.plan.refine < 1)
        Bad("convergence-plot", o.convergencePlotFile, "needs --refine 1 or more, so that there is more than one N");
    return o;
}

}  // namespace cli
