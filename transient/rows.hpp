// The steady equations each scheme marches with: the study's rows for the
// linear schemes (with no diffusion hybrid, power law and exponential are
// upwind); the bounded ones march with the TVD balance instead.
#pragma once

#include "study/rows.hpp"

namespace transient {

using study::IsTvd;

// The study's rows of a linear scheme; Gamma may be 0. On unequal cells
// each row is divided by its cell's width over the mean width dx, so that
// a time step's mass matrix is rho dx at every node. Raises
// calc::CalcError when a coefficient is beyond the range of a double.
study::Rows Rows(const study::Problem& p, study::Scheme s, long N);

}  // namespace transient
