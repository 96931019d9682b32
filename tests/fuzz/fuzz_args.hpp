// For the command-line fuzz targets: the arguments of the input, and the
// check that aborts on a broken promise.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

inline void Check(bool ok) {
    if (!ok) std::abort();
}

// Arguments are separated by newlines; a real argument holds no NUL.
inline std::vector<std::string> Arguments(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n' || data[i] == 0)
            args.emplace_back();
        else
            args.back().push_back(static_cast<char>(data[i]));
    }
    return args;
}
