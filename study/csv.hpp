// The study's two tables as CSV: every number the shortest text that reads
// back to the same double, with "." whatever the locale; true and false
// written as such.
#pragma once

#include <string>
#include <vector>

#include "fluxes.hpp"
#include "study.hpp"

namespace study::csv {

// The shortest decimal text that reads back to `value` ("0.1", "1e-05").
std::string Number(double value);

inline constexpr const char* kNodesHeader = "scheme,N,i,x,phi,exact,error\n";
inline constexpr const char* kErrorsHeader =
    "scheme,N,Pe,max_error,rms_error,order_max,order_rms,bounded,negative_coefficients,iterations\n";

// One row per node of one solution, appended to `out`; `exact` is the exact
// solution at the same nodes. The solution must hold its nodal values.
void AppendNodes(std::string& out, const Result& r, const std::vector<double>& exact);
// The rows of nodes `first` to `last` alone (1 <= first, last <= N), so that
// a large grid's table can be written a stretch at a time.
void AppendNodes(std::string& out, const Result& r, const std::vector<double>& exact, long first, long last);

inline constexpr const char* kFluxesHeader = "scheme,N,face,x,convective,diffusive,total\n";
// One row per face, faces 0 (x = 0) to N (x = L).
void AppendFluxes(std::string& out, const Result& r, const std::vector<FaceFlux>& faces);

// The nodes table of a study's first grid, header included.
std::string NodesTable(const Study& st);

// The errors table: header, then one row per scheme and grid, scheme by
// scheme; `iterations` is empty for the linear schemes.
std::string ErrorsTable(const Study& st);

}  // namespace study::csv
