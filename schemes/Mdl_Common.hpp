// The problem state that the calculation driver, the four schemes, the
// results table and the plot share. It lives as long as the window and is
// overwritten by every calculation.
#pragma once

#include "../solver/real_array.hpp"

namespace Mdl_Common {

struct ProblemState {
    // N stays the real number the user typed; it is rounded only where it
    // serves as an array bound or index, and loops compare against it as is.
    double N = 0.0;
    double F = 0.0;    // convective mass flux per unit area, Rho * u
    double D = 0.0;    // diffusion conductance of one cell face, Gama / dx
    double Pe = 0.0;   // cell Peclet number, F / D
    double FiA = 0.0;  // phi at x = 0
    double FiB = 0.0;  // phi at x = L

    calc::RealArray x{"x"};  // control-volume centres
    // Coefficients of node i's row; after assembly the neighbour
    // coefficients hold their negated values, so that the row reads
    //   aWW phi(i-2) + aW phi(i-1) + aP phi(i) + aE phi(i+1) + aEE phi(i+2) = Su.
    calc::RealArray aW{"aW"};
    calc::RealArray aE{"aE"};
    calc::RealArray aP{"aP"};
    calc::RealArray Sp{"Sp"};
    calc::RealArray Su{"Su"};
    calc::RealArray aWW{"aWW"};  // QUICK only; kept until the next QUICK run
    calc::RealArray aEE{"aEE"};  // QUICK only; kept until the next QUICK run
    calc::RealArray T{"T"};      // the nodal solution
};

}  // namespace Mdl_Common
