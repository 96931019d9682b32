// How the control volumes are laid out: equal cells, cells growing by a
// ratio from one end or from both ends to the middle, or the faces a user
// gives; and the face positions each layout makes of N cells.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace study {

enum class GridKind { Uniform, Geometric, TwoSided, Faces };

struct GridLayout {
    GridKind kind = GridKind::Uniform;
    // Geometric: each cell R times the one to its left. TwoSided: the cells
    // grow by R from both ends to the middle.
    double ratio = 1;
    // Faces: the positions as given, first 0 and last L, strictly increasing.
    std::vector<double> faces;
    // The N the ratio is given for; a grid of 2^k times as many cells is the
    // same family, each cell split in two with the ratio's square root.
    // 0: the ratio is for any N.
    long baseN = 0;

    bool operator==(const GridLayout&) const = default;
};

// The face positions 0 = f_0 < ... < f_N = L of N cells, or null where the
// cells are equal (to rounding: a faces file of equal cells is the uniform
// grid itself). Faces grids take N = the file's cells times a power of two,
// each cell split into equal parts.
std::shared_ptr<const std::vector<double>> FacesOf(const GridLayout& layout, double L, long N);

// Why N cells of this layout cannot be used, in words, or nothing: a cell
// narrower than 1e-12 L, an N that does not refine a faces file.
std::optional<std::string> GridFault(const GridLayout& layout, double L, long N);

// "uniform", "geometric:0.8", "twosided:1.1", "faces (12 cells)".
std::string GridText(const GridLayout& layout);

}  // namespace study
