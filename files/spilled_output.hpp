// A file filled while it is made, a few megabytes at a time: text appended
// to a buffer that goes to the file whenever it grows past 4 MB, so that a
// table of any length needs no more memory than that; the file is put in
// place only when it is complete, as an Output is.
#pragma once

#include <string>

#include "whole_file.hpp"

namespace files {

class SpilledOutput {
public:
    // Opens the file (raises Failure) and starts the buffer with `head`.
    SpilledOutput(const std::string& path, std::string head);

    // Where the text goes; Spill after appending.
    std::string& Buffer() { return buffer_; }
    // Writes the buffer out once it has grown past a few megabytes. Raises
    // Failure.
    void Spill();
    // Writes what is left and puts the file in place. Raises Failure.
    void Commit();

private:
    Output file_;
    std::string buffer_;
};

}  // namespace files
