// How a run steps in time. The theta-method mixes the steady equations at
// the old and the new time level (theta = 0 explicit, 1/2 Crank-Nicolson,
// 1 implicit); the other three are explicit and made for the limiters:
// Sweby's flux-limited Lax-Wendroff step, and Shu-Osher's strong-stability-
// preserving Runge-Kutta methods of two and three stages on the steady face
// values.
#pragma once

#include <optional>
#include <string_view>

#include "study/problem.hpp"

namespace transient {

enum class Method { Theta, LaxWendroff, Ssprk2, Ssprk3 };

// "theta", "lw", "ssprk2", "ssprk3": the names of --time.
std::string_view MethodName(Method m);
// "the theta-method", "flux-limited Lax-Wendroff", "SSP Runge-Kutta (2 stages)", ...
std::string_view MethodTitle(Method m);

// Whether the method marches the scheme: flux-limited Lax-Wendroff is
// defined by face values with a limiter, so besides the limiters only
// central (psi = 1, the classical Lax-Wendroff step) and upwind (psi = 0);
// every other method marches every scheme.
bool MarchesBy(Method m, study::Scheme s);

// The theta of the forward-Euler stages an explicit method is built of: 0
// for the three explicit methods, theta itself for the theta-method.
inline double ExplicitTheta(Method m, double theta) { return m == Method::Theta ? theta : 0.0; }

}  // namespace transient
