// Small helpers shared by the core tests.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "schemes/Mdl_Common.hpp"
#include "solver/real_array.hpp"

namespace testing_support {

// An array holding `values` at the indices 1, 2, ...; index 0 reads 0.
inline calc::RealArray Rows(const char* name, std::initializer_list<double> values) {
    calc::RealArray a(name);
    a.Resize(static_cast<double>(values.size()));
    long i = 1;
    for (double v : values) a(i++) = v;
    return a;
}

inline Mdl_Common::ProblemState State(double N, double F, double D, double FiA, double FiB) {
    Mdl_Common::ProblemState s;
    s.N = N;
    s.F = F;
    s.D = D;
    s.FiA = FiA;
    s.FiB = FiB;
    return s;
}

// Elements 1 to `count` of an array.
inline std::vector<double> Values(const calc::RealArray& a, long count) {
    std::vector<double> v;
    for (long i = 1; i <= count; ++i) v.push_back(a(i));
    return v;
}

// The message of the error of type E that `f` raises.
template <class E>
std::string MessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const E& e) {
        return e.what();
    }
    return "(nothing raised)";
}

}  // namespace testing_support
