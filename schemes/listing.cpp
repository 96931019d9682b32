#include "listing.hpp"

#include "../format/number_text.hpp"

namespace calc {

void Listing::StartCoefficients(const char* header) {
    Clear();
    Append(" ");
    Append(header);
    Append(" ");
}

void Listing::AppendValues(std::initializer_list<double> values, const char* pattern, const char* trailing) {
    std::string line;
    for (double v : values) {
        if (!line.empty()) line += "   ";
        line += numtext::Pattern(v, pattern, separator);
    }
    Append(line + trailing);
}

}  // namespace calc
