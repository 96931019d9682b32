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

// The brackets through which the end values enter the end rows: node 1 has
// Sp = -left and Su = left * FiA, node N has Sp = -right and Su = right * FiB.
struct EndBrackets {
    double left;   // (2 * D) + tW
    double right;  // (2 * D) - tE
};
EndBrackets Ends(const ThreePointTerms& terms, double D);

// The diagonal of a row from its neighbour coefficients (before negation)
// and its source part: (aE + aW) - Sp.
inline double Diagonal(double aW, double aE, double Sp, const Where& at) { return Sub(Add(aE, aW, at), Sp, at); }

// Sizes and fills aW, aP, aE, Sp, Su, writes the coefficient listing,
// solves the system and copies the solution into T.
void AssembleListAndSolve(Mdl_Common::ProblemState& s, Listing& list, const ThreePointTerms& terms);

}  // namespace calc
