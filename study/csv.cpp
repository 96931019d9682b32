#include "csv.hpp"

#include <charconv>
#include <stdexcept>

namespace study::csv {

namespace {

void Append(std::string& out, double value) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc()) throw std::logic_error("a double did not fit in 32 characters");
    out.append(buffer, end);
}

void Append(std::string& out, const std::optional<double>& value) {
    if (value) Append(out, *value);
}

const char* Bool(bool b) { return b ? "true" : "false"; }

}  // namespace

std::string Number(double value) {
    std::string text;
    Append(text, value);
    return text;
}

void AppendNodes(std::string& out, const Result& r, const std::vector<double>& exact) {
    AppendNodes(out, r, exact, 1, r.grid.N);
}

void AppendNodes(std::string& out, const Result& r, const std::vector<double>& exact, long first, long last) {
    const std::string lead = std::string(Name(r.scheme)) + "," + std::to_string(r.grid.N) + ",";
    for (long i = first; i <= last; ++i) {
        const auto k = static_cast<std::size_t>(i - 1);
        out += lead;
        out += std::to_string(i);
        out += ',';
        Append(out, r.grid.x(i));
        out += ',';
        Append(out, r.phi.at(k));
        out += ',';
        Append(out, exact.at(k));
        out += ',';
        Append(out, r.phi[k] - exact[k]);
        out += '\n';
    }
}

void AppendFluxes(std::string& out, const Result& r, const std::vector<FaceFlux>& faces) {
    const std::string lead = std::string(Name(r.scheme)) + "," + std::to_string(r.grid.N) + ",";
    for (const FaceFlux& f : faces) {
        out += lead;
        out += std::to_string(f.face);
        for (double v : {f.x, f.convective, f.diffusive, f.total}) {
            out += ',';
            Append(out, v);
        }
        out += '\n';
    }
}

std::string NodesTable(const Study& st) {
    std::string out = kNodesHeader;
    for (const auto& perScheme : st.results) AppendNodes(out, perScheme.at(0), st.exact);
    return out;
}

std::string ErrorsTable(const Study& st) {
    std::string out = kErrorsHeader;
    for (const auto& perScheme : st.results)
        for (const Result& r : perScheme) {
            out += Name(r.scheme);
            out += ',' + std::to_string(r.grid.N) + ',';
            Append(out, r.grid.Pe);
            out += ',';
            Append(out, r.maxError);
            out += ',';
            Append(out, r.rmsError);
            out += ',';
            Append(out, r.orderMax);
            out += ',';
            Append(out, r.orderRms);
            out += ',';
            out += Bool(r.bounded);
            out += ',';
            out += Bool(r.NegativeCoefficients());
            out += ',';
            if (r.iterations) out += std::to_string(*r.iterations);
            out += '\n';
        }
    return out;
}

}  // namespace study::csv
