// The whole calculation driven by seven arbitrary input texts and a scheme:
// it either succeeds with finite, well-formed outputs, or fails with one of
// the errors the window reports, with a message. Nothing else may happen.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/calculation.hpp"
#include "format/number_text.hpp"
#include "solver/errors.hpp"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

bool Clean(const std::string& text) {
    return text.find("inf") == std::string::npos && text.find("nan") == std::string::npos &&
           text.find("= -0\n") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const auto scheme = static_cast<driver::Scheme>(data[0] % 4);
    // The texts are separated by '|'.
    std::vector<std::string> parts(1);
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == '|' && parts.size() < 7)
            parts.emplace_back();
        else
            parts.back().push_back(static_cast<char>(data[i]));
    }
    parts.resize(7);
    const driver::InputTexts texts{parts[0], parts[1], parts[2], parts[3], parts[4], parts[5], parts[6]};

    // Large QUICK listings are legal but slow; leave them to the tests.
    if (numtext::ReadNumber(texts.N).value > 2000) return 0;

    Mdl_Common::ProblemState state;
    driver::Outputs out;
    try {
        driver::Calculate(texts, scheme, state, out);
    } catch (const driver::InputError& e) {
        Check(std::string_view(e.what()).size() > 10);
        return 0;
    } catch (const calc::CalcError& e) {
        Check(std::string_view(e.what()).size() > 10);
        return 0;
    }
    Check(out.peText && Clean(*out.peText));
    std::string listing;
    for (const std::string& line : out.list1.Lines()) listing += line + "\n";
    Check(Clean(listing));
    Check(out.resultsText && Clean(*out.resultsText));
    Check(out.plot.has_value());
    return 0;
}
