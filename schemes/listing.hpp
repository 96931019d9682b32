// The lines the window's list box shows, as plain text, together with the
// decimal separator every number in them is written with.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace calc {

struct Listing {
    std::string separator = ".";
    std::vector<std::string> lines;

    void Clear() { lines.clear(); }
    void Append(std::string line) { lines.push_back(std::move(line)); }

    // Starts a coefficient listing: clears the list, then a blank line, the
    // column header and another blank line.
    void StartCoefficients(const char* header);

    // One node's coefficients, each written through `pattern` and joined by
    // three blanks; `trailing` goes after the last one.
    void AppendValues(std::initializer_list<double> values, const char* pattern, const char* trailing = "");
};

}  // namespace calc
