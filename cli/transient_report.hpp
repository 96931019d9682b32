// What convdiff-transient prints: the problem and its time stepping, each
// scheme's stability verdicts in words, then a table per scheme over the
// frames, gathered as the frames come.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "transient/verdict_text.hpp"
#include "transient_options.hpp"

namespace cli {

using transient::Short;

// Frame numbers in words, runs of consecutive ones as ranges: "frame 2",
// "frames 2 and 5", "frames 2, 5 and 7", "frames 3-7 and 10".
std::string FramesWords(const std::vector<long>& frames);

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
