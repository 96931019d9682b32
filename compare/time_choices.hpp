// The Time tab's choices of the initial state and of the time method, in
// the order of their lists.
#pragma once

#include "transient/initial.hpp"
#include "transient/method.hpp"

namespace compare {

struct InitialChoice {
    const char* title;
    transient::Shape shape;
    const char* labelA;
    const char* labelB;  // null: no second number
    const char* a;
    const char* b;  // at start and after Reset
};
inline constexpr InitialChoice kInitials[] = {
    {"Uniform", transient::Shape::Uniform, "V", nullptr, "0", ""},
    {"Step", transient::Shape::Step, "X0 (m)", nullptr, "0.2", ""},
    {"Pulse", transient::Shape::Pulse, "X0 (m)", "Std. dev. S (m)", "0.2", "0.05"},
    {"Square", transient::Shape::Square, "X1 (m)", "X2 (m)", "0.1", "0.3"}};

// The time methods; the theta-method's three first, as they always were.
struct TimeChoice {
    const char* title;
    transient::Method method;
    double theta;  // 0 for the explicit methods, whose stages are forward Euler
};
inline constexpr TimeChoice kTimeChoices[] = {{"Explicit", transient::Method::Theta, 0},
                                              {"Crank–Nicolson", transient::Method::Theta, 0.5},
                                              {"Implicit", transient::Method::Theta, 1},
                                              {"Lax–Wendroff (limited)", transient::Method::LaxWendroff, 0},
                                              {"SSP Runge–Kutta 2", transient::Method::Ssprk2, 0},
                                              {"SSP Runge–Kutta 3", transient::Method::Ssprk3, 0}};

}  // namespace compare
