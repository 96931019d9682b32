#include "listing.hpp"

#include <cmath>
#include <stdexcept>
#include <utility>

#include "../format/number_text.hpp"

namespace calc {

namespace {

// A value that cannot be written fails where the listing is made, not later
// when its line is shown.
void RequireFinite(double v) {
    if (!std::isfinite(v)) throw std::domain_error("cannot write a number that is not finite");
}

}  // namespace

void Listing::Clear() {
    entries_.clear();
    values_.clear();
    texts_.clear();
}

void Listing::Reserve(std::size_t lines, std::size_t values) {
    entries_.reserve(entries_.size() + lines);
    values_.reserve(values_.size() + values);
}

void Listing::Append(std::string line) {
    entries_.push_back({Kind::Text, 0, texts_.size(), nullptr, nullptr, 0});
    texts_.push_back(std::move(line));
}

void Listing::StartCoefficients(const char* header) {
    Clear();
    Append(" ");
    Append(header);
    Append(" ");
}

void Listing::AppendValues(std::initializer_list<double> values, const char* pattern, const char* trailing) {
    for (double v : values) RequireFinite(v);
    entries_.push_back({Kind::Values, static_cast<std::uint32_t>(values.size()), values_.size(), pattern, trailing, 0});
    values_.insert(values_.end(), values);
}

void Listing::AppendSolution(long node, double value) {
    RequireFinite(value);
    entries_.push_back({Kind::Solution, 1, values_.size(), nullptr, nullptr, node});
    values_.push_back(value);
}

std::string Listing::Line(std::size_t i) const {
    const Entry& e = entries_.at(i);
    switch (e.kind) {
        case Kind::Text: return texts_[e.first];
        case Kind::Solution:
            return " Phi(" + std::to_string(e.node) + ") = " + numtext::RoundedGeneral(values_[e.first], 4, separator);
        case Kind::Values: break;
    }
    std::string line;
    line.reserve(e.count * 16);
    for (std::size_t k = 0; k < e.count; ++k) {
        if (k > 0) line += "   ";
        line += numtext::Pattern(values_[e.first + k], e.pattern, separator);
    }
    line += e.trailing;
    return line;
}

std::vector<std::string> Listing::Lines() const {
    std::vector<std::string> lines;
    lines.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) lines.push_back(Line(i));
    return lines;
}

}  // namespace calc
