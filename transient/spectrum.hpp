// The eigenvalues and the conditioning of a scheme's banded steady matrix K,
// taken by its structure so that a grid of 2000 volumes stays quick:
//  - three-point rows whose off-diagonal products K(i+1,i) K(i,i+1) are all
//    positive are similar, by a diagonal scaling, to a symmetric tridiagonal
//    matrix with off-diagonals sqrt(product): LAPACK's dsterf, O(N^2);
//  - a zero product splits the matrix into blocks (block triangular), whose
//    eigenvalues are taken block by block;
//  - any other block is upper Hessenberg (three-point rows; QUICK's rows
//    transposed for flow to the right, as they are for flow to the left):
//    scaled by dgebal, then the double-shift QR of dlahqr, with dhseqr
//    where dlahqr reports failure.
#pragma once

#include <complex>
#include <vector>

#include "study/rows.hpp"

namespace transient {

// The eigenvalues of K, whose row i holds aWW, aW, aP, aE, aEE at the columns
// i-2 .. i+2. Raises std::runtime_error when LAPACK fails to converge.
std::vector<std::complex<double>> BandEigenvalues(const study::Rows& K);

// LAPACK's estimate of K's reciprocal condition number in the 1-norm, after
// its band LU (dgttrf/dgtcon, dgbtrf/dgbcon); 0 when the LU meets an exactly
// zero pivot.
double ReciprocalCondition(const study::Rows& K);

}  // namespace transient
