// What convdiff-transient prints: the problem and its time stepping, each
// scheme's stability verdicts in words, then a table per scheme over the
// frames, gathered as the frames come.
#pragma once

#include <map>
#include <string>

#include "transient_options.hpp"

namespace cli {

// "1e6", "0.8333", "-2.5e-5": up to `digits` significant digits.
std::string Short(double value, int digits = 4);

// The stability verdict of one scheme in words.
std::string VerdictText(const transient::SchemeOutcome& s);

// "central: unstable, grew past 1e6 at t = 0.84 s (step 84)", or "", or,
// when the limit is at the range of a double, that the values left it.
std::string BlowUpText(const transient::SchemeOutcome& s, double limit);

class TransientReport {
public:
    explicit TransientReport(const TransientOptions& o) : o_(o) {}
    // A frame's row in its scheme's table.
    void Add(const transient::Frame& f);
    // The whole report, once the run is over.
    std::string Text(const transient::Outcome& out) const;

private:
    const TransientOptions& o_;
    std::map<study::Scheme, std::string> tables_;
    bool marked_ = false;  // some row's variation grew
};

}  // namespace cli
