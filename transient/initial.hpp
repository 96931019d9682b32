// The state a time-dependent run starts from, at the node centres, and the
// exact solution on an unbounded domain where the state has one: a
// Gaussian pulse, a square or a step carried at u and spread by Gamma/rho,
// or a sum of them (the equation is linear, so the sum of the terms'
// solutions is the sum's). On a periodic domain every term is the sum of
// its images a whole number of periods apart, its initial state included.
// A source Su + Sp phi adds its own part, the same at every point.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "study/problem.hpp"

namespace transient {

enum class Shape { Uniform, Step, Pulse, Square };

// uniform:V, step:X0, pulse:X0:S (S the standard deviation), square:X1:X2.
struct Term {
    Shape shape = Shape::Uniform;
    double a = 0;  // V, X0, X0 or X1
    double b = 0;  // S or X2
};

// The sum of its terms, "pulse:0.3:0.05+square:0.6:0.8"; uniform:0 unless
// told otherwise.
struct Initial {
    Initial() = default;
    Initial(Shape shape, double a = 0, double b = 0) : terms{Term{shape, a, b}} {}
    std::vector<Term> terms{Term{}};
};

// The two levels of a step: the ends' values, 1 on the left and 0 on the
// right where an end fixes no value (and on a periodic domain).
std::pair<double, double> StepLevels(const study::Problem& p);

// phi at x at t = 0.
double InitialValue(const study::Problem& p, const Initial& s, double x);

// Whether the state has an exact reference: some term is not uniform (the
// uniform ones carry their constant along).
bool HasExact(const Initial& s);

// The unbounded-domain solution at x and t >= 0; for Gamma = 0 the initial
// shape moved by u t. Only for states with HasExact.
double ExactValue(const study::Problem& p, const Initial& s, double x, double t);

// Whether the unbounded-domain solution still fits the ends at t: at a
// fixed end it is within 1e-3 of the value; at a gradient end its slope
// times L within 1e-3 of G L; at a wall both within 1e-3 of V and flat.
// Always on a periodic domain.
bool ExactApplies(const study::Problem& p, const Initial& s, double t);

// "uniform:0", "pulse:0.3:0.05+square:0.6:0.8", as the option is written.
std::string Text(const Initial& s);
std::string Text(const Term& s);
// The same in words, a term a clause: "a Gaussian pulse at x = 0.3 m with
// standard deviation 0.05 m + a square from x = 0.6 m to 0.8 m".
std::string Words(const Initial& s);

}  // namespace transient
