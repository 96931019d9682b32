// What a cell Peclet number means for the schemes, in words, for the
// comparison window's banner.
#pragma once

#include <string>

#include "study/study.hpp"

namespace compare {

// "Pe = 5.0: central differencing is unbounded here (|Pe| > 2); upwind is
// bounded but first order"
std::string Banner(double pe);
// The same for a grid: on unequal cells each cell has its own Peclet
// number, and the widest cell's decides the words ("Pe from 0.146 in the
// narrowest cell to 10.1 in the widest: central differencing is ...").
std::string Banner(const study::Grid& g);

// The banner for a study's first grid: the grid's words, then what the run
// shows of the bounded schemes ticked in it ("; the bounded schemes ticked
// (Van Leer, SUPERBEE) stay within [0, 1] here"), naming any that does not.
std::string Banner(const study::Study& st);

}  // namespace compare
