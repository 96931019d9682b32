// The limited faces the Limiters tab shows of a solution: all of them when
// they are few, otherwise a sample that draws the same picture, so that a
// grid of millions of faces costs the diagram no more than a small one.
#pragma once

#include <cstddef>
#include <vector>

#include "study/tvd.hpp"

namespace compare {

// The most faces of one limiter shown on the diagram.
inline constexpr std::size_t kMostFacesShown = 2000;

// `faces` (in order of x) when there are at most kMostFacesShown, otherwise
// at most that many of them, in the same order: r from 0 to `mostR` cut in
// narrow stretches (well under a marker's width), in each the face of the
// lowest psi and that of the highest, so that every part of the diagram a
// face reaches keeps one, the extremes of r and psi among them. Faces
// beyond the r axis are left out then: out of sight, and a marker at r =
// 1e50 costs the chart seconds to place.
std::vector<study::Face> FacesShown(const std::vector<study::Face>& faces, double mostR);

}  // namespace compare
