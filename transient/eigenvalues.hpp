// The eigenvalues and the conditioning of a scheme's banded steady matrix K,
// taken by its structure so that a grid of 2000 volumes stays quick:
//  - three-point rows whose off-diagonal products K(i+1,i) K(i,i+1) are all
//    positive are similar, by a diagonal scaling, to a symmetric tridiagonal
//    matrix with off-diagonals sqrt(product): LAPACK's dsterf, O(N^2);
//  - where some product is negative (central at |cell Pe| > 2) the same
//    scaling gives a complex symmetric tridiagonal matrix, off-diagonal
//    i sqrt(|product|): the symmetric QL iteration in complex arithmetic,
//    O(N^2), and no scale factor that overflows on a long grid;
//  - a zero product splits the matrix into blocks (block triangular), whose
//    eigenvalues are taken block by block;
//  - QUICK's rows are upper Hessenberg (transposed for flow to the right, as
//    they are for flow to the left), as is a tridiagonal block the complex
//    iteration fails on: scaled so that the bands either side of the
//    diagonal have equal sizes (entry by entry, as no single scale factor
//    fits in a double on a long grid), then by dgebal, then the double-shift
//    QR of dlahqr, O(N^3), with dhseqr where dlahqr reports failure.
#pragma once

#include <complex>
#include <vector>

#include "study/rows.hpp"

namespace transient {

// The eigenvalues of K, whose row i holds aWW, aW, aP, aE, aEE at the columns
// i-2 .. i+2. Raises std::runtime_error when LAPACK fails to converge.
std::vector<std::complex<double>> BandEigenvalues(const study::Rows& K);

// K(i, i + o) for |o| <= 2; 0 outside the matrix (either index) and the
// bands.
double At(const study::Rows& K, long i, int o);

// LAPACK's estimate of K's reciprocal condition number in the 1-norm, after
// its band LU (dgttrf/dgtcon, dgbtrf/dgbcon); 0 when the LU meets an exactly
// zero pivot.
double ReciprocalCondition(const study::Rows& K);

}  // namespace transient
