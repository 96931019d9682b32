// The names of the time methods.
#include "method.hpp"

namespace transient {

std::string_view MethodName(Method m) {
    switch (m) {
        case Method::Theta: return "theta";
        case Method::LaxWendroff: return "lw";
        case Method::Ssprk2: return "ssprk2";
        case Method::Ssprk3: return "ssprk3";
    }
    return "theta";
}

std::string_view MethodTitle(Method m) {
    switch (m) {
        case Method::Theta: return "the theta-method";
        case Method::LaxWendroff: return "flux-limited Lax-Wendroff";
        case Method::Ssprk2: return "SSP Runge-Kutta (2 stages)";
        case Method::Ssprk3: return "SSP Runge-Kutta (3 stages)";
    }
    return "the theta-method";
}

bool MarchesBy(Method m, study::Scheme s) {
    return m != Method::LaxWendroff || s == study::Scheme::Central || s == study::Scheme::Upwind || study::IsTvd(s);
}

}  // namespace transient
