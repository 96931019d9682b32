// The options that pose the problem, shared by both command-line programs:
// the ends, the source and the coefficients, read and checked by the one set
// of rules.
#pragma once

#include <map>
#include <string>

#include "cli/command_line.hpp"
#include "study/problem.hpp"
#include "study/rules.hpp"

// The usage lines of --phiA, --phiB, --left, --right, --su and --sp, a
// literal so that each program's usage text is one.
#define CONVDIFF_ENDS_USAGE                                                                                   \
    "  --phiA V      phi at x = 0, the same as --left value:V (default 1)\n"                                  \
    "  --phiB V      phi at x = L, the same as --right value:V (default 0)\n"                                 \
    "  --left KIND   the condition at x = 0, one of\n"                                                        \
    "                  value:V     phi = V\n"                                                                 \
    "                  gradient:G  dphi/dx = G (in the direction of x)\n"                                     \
    "                  outflow     gradient:0\n"                                                              \
    "                  robin:H:V   a wall: the diffusive flux leaving through it is H (phi - V), H > 0\n"     \
    "  --right KIND  the condition at x = L, the same kinds\n"                                                \
    "  --su V        source Su per unit volume: Su + Sp phi is added (default 0)\n"                           \
    "  --sp V        Sp, 0 or below (default 0)\n"                                                            \
    "  --grid LAYOUT the cells: uniform (default), geometric:R (each cell R times the one to its\n"           \
    "                left; R < 1 packs them towards x = L), twosided:R (growing by R from both ends\n"     \
    "                to the middle), faces:FILE (the face positions, one a line, 0 first and L last;\n"  \
    "                N follows from the file); refining splits every cell in two\n"

namespace cli {


// "value:V", "gradient:G", "outflow", "robin:H:V"; raises UsageError
// naming the option.
study::End ReadEnd(const std::string& option, const std::string& value);
// The same text back: "value:1", "gradient:0", "robin:5:20".
std::string EndText(const study::End& e);

// Adds the setters of phiA, phiB, left, right, su, sp, u, L, rho and gamma.
void AddProblemSetters(Setters& setters, study::Problem& p);

// Refuses an end given twice (--phiA with --left) and a problem that breaks
// the rules for its use, naming the option to change.
void CheckProblem(const study::Problem& p, const std::map<std::string, std::string>& given, study::Use use);

// Reads --grid (its faces file too, against L) into p.grid for the first
// grid of N cells (a faces file sets N), and checks every grid N, 2N, ...,
// 2^refine N. Raises UsageError naming --grid, the file's line and what is
// wrong.
void ReadGrid(study::Problem& p, const std::map<std::string, std::string>& given, long& N, int refine = 0);

}  // namespace cli
