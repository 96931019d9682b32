// A file filled a few megabytes at a time.
#include "spilled_output.hpp"

#include <utility>

namespace files {

namespace {
// Large enough that a write is rarely a system call per row, small enough
// to be nothing beside a table of gigabytes.
constexpr std::size_t kSpillBytes = std::size_t(1) << 22;
}  // namespace

SpilledOutput::SpilledOutput(const std::string& path, std::string head) : file_(path), buffer_(std::move(head)) {}

void SpilledOutput::Spill() {
    if (buffer_.size() < kSpillBytes) return;
    file_.Write(buffer_);
    buffer_.clear();
}

void SpilledOutput::Commit() {
    file_.Write(buffer_);
    buffer_.clear();
    file_.Commit();
}

}  // namespace files
