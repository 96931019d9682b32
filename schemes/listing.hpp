// The lines the window's list box shows, together with the decimal separator
// every number in them is written with.
//
// A listing of a large calculation holds hundreds of thousands of lines, of
// which a person sees a screenful: so the lines of numbers keep their values
// and are written out when a line is asked for, always to the same text.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace calc {

class Listing {
public:
    std::string separator = ".";

    void Clear();
    // Room for `lines` more lines holding `values` more numbers.
    void Reserve(std::size_t lines, std::size_t values);
    void Append(std::string line);

    // Starts a coefficient listing: clears the list, then a blank line, the
    // column header and another blank line.
    void StartCoefficients(const char* header);

    // One node's coefficients, each written through `pattern` and joined by
    // three blanks; `trailing` goes after the last one. The pattern and the
    // trailing text must live as long as the listing (string literals).
    void AppendValues(std::initializer_list<double> values, const char* pattern, const char* trailing = "");

    // " Phi(node) = value", the value rounded to four decimals.
    void AppendSolution(long node, double value);

    std::size_t Size() const { return entries_.size(); }
    // Line i, written out.
    std::string Line(std::size_t i) const;
    // Every line, written out.
    std::vector<std::string> Lines() const;

private:
    enum class Kind : std::uint8_t { Text, Values, Solution };
    struct Entry {
        Kind kind;
        std::uint32_t count;  // values in the line
        std::size_t first;    // the first value (Values, Solution) or text (Text)
        const char* pattern;
        const char* trailing;
        long node;
    };
    std::vector<Entry> entries_;
    std::vector<double> values_;
    std::vector<std::string> texts_;
};

}  // namespace calc
