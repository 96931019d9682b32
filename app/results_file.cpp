#include "results_file.hpp"

#include "../format/number_text.hpp"

namespace results {

std::string ResultsText(const Mdl_Common::ProblemState& s, std::string_view separator) {
    std::string out = " i    AW    AP   AE   Su   T\r\n\r\n";
    for (long i = 1; i <= s.N; ++i) {
        out += ' ';
        out += std::to_string(i);
        out += ' ';
        const struct {
            double value;
            const char* pattern;
        } items[] = {{s.aW(i), "0."},   {s.aE(i), "0#0."}, {s.Sp(i), "0#0."},
                     {s.aP(i), "0#0."}, {s.Su(i), "0#0."}, {s.T(i), "0#0.#0"}};
        for (const auto& item : items) {
            out += "  ";
            out += numtext::Pattern(item.value, item.pattern, separator);
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace results
