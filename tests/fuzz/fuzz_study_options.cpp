// convdiff-study's options and values, arbitrary: the command line is either
// refused with a message (exit 2), or the study fails with a message naming
// the scheme and N (exit 1), or it succeeds with a report and tables free of
// NaN and infinity (exit 0). Nothing else may happen. The scheme names and
// groups include the bounded schemes, whose solve may also fail by not
// converging within --max-iterations.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/options.hpp"
#include "cli/report.hpp"
#include "study/csv.hpp"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

bool Clean(const std::string& text) {
    return text.find("nan") == std::string::npos && text.find("inf") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Arguments are separated by newlines; a real argument holds no NUL.
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n' || data[i] == 0)
            args.emplace_back();
        else
            args.back().push_back(static_cast<char>(data[i]));
    }
    cli::Options o;
    try {
        o = cli::Parse(args);
    } catch (const cli::UsageError& e) {
        Check(std::string(e.what()).size() > 10);
        return 0;
    }
    if (o.help || o.version) return 0;
    if ((o.plan.N << o.plan.refine) > 4096) return 0;  // legal, but slow for fuzzing
    if ((o.plan.N << o.plan.refine) * o.plan.maxIterations > 4096L * 500) return 0;
    try {
        const study::Study st = study::Run(o.problem, o.plan);
        Check(Clean(cli::Report(st, o.notes)));
        Check(Clean(study::csv::ErrorsTable(st)));
        Check(Clean(study::csv::NodesTable(st)));
    } catch (const study::SolveError& e) {
        Check(std::string(e.what()).find(" at N = ") != std::string::npos);
    }
    return 0;
}
