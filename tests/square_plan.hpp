// The class's square wave: a square from 0.1 to 0.3 carried at u = 1 with
// no diffusion, φ = 0 at both ends, marched by the given step; the starting
// point of several time-run tests.
#pragma once

#include <utility>
#include <vector>

#include "transient/run.hpp"

inline transient::Plan SquareInPureConvection(std::vector<study::Scheme> schemes, long N, double dt, double tEnd,
                                              long frames) {
    transient::Plan plan;
    plan.problem.u = 1;
    plan.problem.gamma = 0;
    plan.problem.left = study::End::Fixed(0);
    plan.N = N;
    plan.dt = dt;
    plan.tEnd = tEnd;
    plan.frames = frames;
    plan.initial = {transient::Shape::Square, 0.1, 0.3};
    plan.schemes = std::move(schemes);
    return plan;
}
