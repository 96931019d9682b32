// One press of "Calculate", without the window: read the seven inputs, build
// the grid, run the chosen scheme and produce every output as data. The
// window hands in the texts and shows what comes back.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "../schemes/Mdl_Common.hpp"
#include "../schemes/listing.hpp"
#include "solution_plot.hpp"

namespace driver {

enum class Scheme { Central, Upwind, Hibrid, QUICK };

// The texts of the seven input boxes, as typed.
struct InputTexts {
    std::string FiA = "1";
    std::string FiB = "0";
    std::string u = "0.1";
    std::string N = "5";
    std::string L = "1";
    std::string Rho = "1";
    std::string Gama = "0.1";
};

// An input that cannot be calculated with. Raised before anything is
// computed: the problem state and every output are left as they were.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What one calculation produces. The fields are filled in the order of the
// calculation, so after a failure part-way they show how far it got: the
// Peclet number once it is known, and the list box contents as the scheme
// left them (the coefficient listing is complete before the solve).
struct Outputs {
    std::optional<std::string> peText;  // the text for Text_Pe
    calc::Listing list1;                // the list box: set to its current lines before the call
    bool withResultsText = true;        // false leaves the results text to the caller (results::ResultsText)
    std::optional<std::string> resultsText;
    std::optional<plot::PlotModel> plot;
};

// The largest N the three-point schemes take: the solver's capacity.
inline constexpr double kMaxThreePointN = 300;
// QUICK solves nothing, so its limit only keeps the listing to a sane size.
inline constexpr double kMaxQuickN = 100000;

// Runs one calculation on `state`. Raises InputError for unusable input and
// calc::CalcError (with a message for the user) when a step fails.
void Calculate(const InputTexts& texts, Scheme scheme, Mdl_Common::ProblemState& state, Outputs& out);

}  // namespace driver
