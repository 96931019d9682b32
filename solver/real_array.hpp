// A one-dimensional array of doubles indexed from 0 to an upper bound, with
// every access checked against the bounds.
#pragma once

#include <string>
#include <vector>

namespace calc {

class RealArray {
public:
    explicit RealArray(std::string name) : name_(std::move(name)) {}

    // Discards the contents and allocates the indices 0 to `n` rounded to
    // the nearest whole number (a tie going to the even one); every element
    // reads 0. A bound below 0 is a subscript error.
    void Resize(double n);

    double& operator()(long i) { return values_[Check(i)]; }
    double operator()(long i) const { return values_[Check(i)]; }

    // The highest index, or -1 before the array is first sized.
    long Upper() const { return static_cast<long>(values_.size()) - 1; }
    const std::string& Name() const { return name_; }

private:
    std::size_t Check(long i) const {
        if (i < 0 || i > Upper()) Fail(i);
        return static_cast<std::size_t>(i);
    }
    [[noreturn]] void Fail(long i) const;

    std::string name_;
    std::vector<double> values_;
};

}  // namespace calc
