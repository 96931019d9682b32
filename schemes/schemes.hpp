// The four differencing schemes. Each sizes and fills the coefficient arrays
// of the problem state from N, F, D, FiA and FiB, clears the listing and
// writes its coefficient lines into it. The three-point schemes then solve
// the system and leave the solution in T; QUICK solves nothing.
#pragma once

#include "Mdl_Common.hpp"
#include "listing.hpp"

namespace Mdl_Central {
void CentralScheme(Mdl_Common::ProblemState& s, calc::Listing& list1);
}

namespace Mdl_Upwind {
void UpwindScheme(Mdl_Common::ProblemState& s, calc::Listing& list1);
}

namespace Mdl_Hibrid {
void HibridScheme(Mdl_Common::ProblemState& s, calc::Listing& list1);
}

namespace Mdl_QUICK {
void QuickScheme(Mdl_Common::ProblemState& s, calc::Listing& list1);
}
