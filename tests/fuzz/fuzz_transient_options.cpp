// convdiff-transient's options and values, arbitrary: the command line is
// either refused with a message (exit 2), or the run fails with a message
// naming the scheme and N (exit 1), or it runs, a blow-up included, with a
// report and tables free of NaN and infinity (exit 0). Nothing else may
// happen.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_args.hpp"
#include "cli/transient_options.hpp"
#include "cli/transient_report.hpp"
#include "transient/csv.hpp"

namespace {

// No "nan" or "inf" but the report's words "infinite" and "inflow".
bool Clean(std::string text) {
    for (const std::string word : {"infinite", "inflow"})
        for (std::size_t at; (at = text.find(word)) != std::string::npos;) text.erase(at, word.size());
    return text.find("nan") == std::string::npos && text.find("inf") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> args = Arguments(data, size);
    cli::TransientOptions o;
    try {
        o = cli::ParseTransient(args);
    } catch (const cli::UsageError& e) {
        Check(std::string(e.what()).size() > 10);
        return 0;
    }
    if (o.help || o.version) return 0;
    const auto steps = transient::StepsOf(o.plan.tEnd, o.plan.dt, o.plan.frames);
    Check(steps.has_value());
    // Legal, but slow for fuzzing: the work grows with the schemes too, and
    // this grid's matrix test (its eigenvalues) as N cubed for QUICK.
    const double work = double(o.plan.N) * double(steps->n) * double(o.plan.schemes.size());
    if (o.plan.N > 400 || work > 2e5 || o.plan.frames > 200) return 0;
    o.plan.samples = 50;
    try {
        cli::TransientReport report(o);
        const study::Grid g = study::MakeGrid(o.plan.problem, o.plan.N);
        std::string history, errors;
        transient::Callbacks cb;
        cb.frame = [&](const transient::Frame& f) {
            report.Add(f);
            transient::csv::AppendHistory(history, g, f);
            transient::csv::AppendErrors(errors, f);
            for (double v : f.phi) Check(std::isfinite(v));
        };
        cb.sampled = [&](const transient::Sample& s) {
            for (double v : s.phi) Check(std::isfinite(v));
        };
        transient::Run run(o.plan);
        const transient::Outcome out = run.Go(cb);
        Check(Clean(report.Text(out)));
        Check(Clean(history) && Clean(errors) && Clean(transient::csv::StabilityTable(o.plan, out)) &&
              Clean(transient::csv::OutcomeTable(out)));
    } catch (const study::SolveError& e) {
        Check(std::string(e.what()).find(" at N = ") != std::string::npos);
    }
    return 0;
}
