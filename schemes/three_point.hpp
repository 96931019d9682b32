// The assembly, listing and solve shared by the three three-point schemes
// (central, upwind and hybrid). They differ only in the interior neighbour
// coefficients and in the two boundary terms that enter the end rows.
#pragma once

#include "../solver/checked.hpp"
#include "Mdl_Common.hpp"
#include "listing.hpp"

namespace calc {

struct ThreePointTerms {
    const char* scheme;  // "the central scheme", for error messages
    double west;         // interior aW(i), before negation
    double east;         // interior aE(i), before negation
    double tW;           // west term of node 1's source
    double tE;           // east term of node N's source
};

// Sizes and fills aW, aP, aE, Sp, Su, writes the coefficient listing,
// solves the system and copies the solution into T.
void AssembleListAndSolve(Mdl_Common::ProblemState& s, Listing& list, const ThreePointTerms& terms);

}  // namespace calc
