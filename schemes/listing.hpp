// The lines the window's list box shows, as plain text, together with the
// decimal separator every number in them is written with.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace calc {

struct Listing {
    std::string separator = ".";
    std::vector<std::string> lines;

    void Clear() { lines.clear(); }
    void Append(std::string line) { lines.push_back(std::move(line)); }
};

}  // namespace calc
