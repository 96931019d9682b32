#include "real_array.hpp"

#include "checked.hpp"
#include "errors.hpp"

namespace calc {

void RealArray::Resize(double n) {
    const long upper = RoundIndex(n, {"sizing the arrays"});
    if (upper < 0)
        throw SubscriptOutOfRange("Subscript out of range: " + name_ + " cannot be sized to 0 to " +
                                  std::to_string(upper) + ".");
    values_.assign(static_cast<std::size_t>(upper) + 1, 0.0);
}

void RealArray::Fail(long i) const {
    std::string bounds = Upper() < 0 ? "it has no elements" : "it has the indices 0 to " + std::to_string(Upper());
    throw SubscriptOutOfRange("Subscript out of range: " + name_ + "(" + std::to_string(i) + ") does not exist; " +
                              bounds + ".");
}

}  // namespace calc
