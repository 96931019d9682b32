// Files written whole or not at all: through a temporary file beside the
// target, every write, the flush and the rename checked, a failure said
// with the file's name and the system's reason. A target that exists and is
// not a regular file (a device, a FIFO) is written to directly, never
// renamed over; "-" is standard output.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace files {

// "cannot write PATH: No space left on device"
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What opening a FIFO that no one reads does: fail at once (ENXIO, "No such
// device or address"), so that a window is never held, or wait for a
// reader, as a shell's redirection does.
enum class FifoReader { MustBeThere, WaitFor };

// A file being written. Until Commit succeeds the target is as it was; an
// Output dropped without Commit removes its temporary file.
class Output {
public:
    // Raises Failure when the file cannot be opened.
    explicit Output(std::string path, FifoReader reader = FifoReader::MustBeThere);
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // Raises Failure.
    void Write(std::string_view bytes);
    // Flushes, syncs and puts the file in place. Raises Failure.
    void Commit();

    const std::string& Path() const { return path_; }

private:
    [[noreturn]] void Fail(int error);
    void Discard();

    std::string path_;       // as the user named it
    std::string temporary_;  // empty when writing to the target directly
    std::string target_;     // the file the temporary one replaces
    int fd_ = -1;
    bool direct_ = false;  // a device, a FIFO or standard output
    bool committed_ = false;
    int slot_ = -1;  // where a signal handler finds the temporary file
};

// Makes every signal whose default action ends the program (those left at
// their default) remove the temporary files of unfinished Outputs before
// they end it as they would.
void RemoveTemporariesOnSignals();

// The system's reason in a Failure's message (or WriteWhole's): "No space
// left on device" from "cannot write e.csv: No space left on device".
std::string Reason(std::string_view message);

// Writes `bytes` to `path` whole or not at all. Returns "" on success, or
// the message of the Failure.
std::string WriteWhole(const std::string& path, std::string_view bytes);

// Whether two names reach the same file: the same device and inode where
// both exist (links included), else the same directory and last part (a
// link to a file not there yet stands for its destination); failing that,
// the same path once ".", ".." and repeated slashes are taken out.
bool SameFile(const std::string& a, const std::string& b);

// Whether `path` ("-": standard output) is an existing regular file, one
// that a write replaces rather than adds to.
bool RegularFile(const std::string& path);

}  // namespace files
