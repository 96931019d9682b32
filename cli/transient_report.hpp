// What convdiff-transient prints: the problem and its time stepping, each
// scheme's stability verdicts in words, then a table per scheme over the
// frames, gathered as the frames come.
#pragma once

#include <map>
#include <string>

#include "transient/verdict_text.hpp"
#include "transient_options.hpp"

namespace cli {

using transient::Short;

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
