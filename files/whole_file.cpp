// Files written whole or not at all, on POSIX: a temporary file beside the
// target, renamed over it once every byte is written and synced.
#include "whole_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>
#include <tuple>
#include <utility>

namespace files {

namespace {

bool StandardOutput(const std::string& path) { return path == "-"; }

// The directory of a path ("." for a bare name) and its last part.
std::pair<std::string, std::string> Split(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// The process's file-creation mask, read without changing it where the
// system says it (changing it would race with other threads creating files).
mode_t Umask() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

int OpenDirect(const std::string& path) {
    int fd;
    do fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

Output::Output(std::string path) : path_(std::move(path)) {
    if (StandardOutput(path_)) {
        fd_ = STDOUT_FILENO;
        direct_ = true;
        return;
    }
    struct stat old {};
    const bool exists = ::stat(path_.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        // A device, a FIFO, a socket or a directory: written to as it is,
        // or refused by the system (a directory).
        direct_ = true;
        fd_ = OpenDirect(path_);
        if (fd_ < 0) Fail(errno);
        return;
    }
    // The file put in place is the one a symbolic link points to, so that
    // the link stays.
    std::string target = path_;
    if (exists) {
        if (char* real = ::realpath(path_.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    auto [directory, name] = Split(target);
    if (name.empty()) Fail(EISDIR);
    temporary_ = directory + "/." + name.substr(0, 200) + ".XXXXXX";
    fd_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        temporary_.clear();
        Fail(error);
    }
    target_ = std::move(target);
    // mkstemp makes the file private; give it the mode the target had, or
    // the one a new file would get.
    if (exists) {
        if (::fchown(fd_, old.st_uid, old.st_gid) != 0) {
            // Not the owner: the file becomes this user's, as any new file.
        }
        if (::fchmod(fd_, old.st_mode & 07777) != 0) Fail(errno);
    } else if (::fchmod(fd_, 0666 & ~Umask()) != 0) {
        Fail(errno);
    }
}

Output::~Output() {
    if (!committed_) Discard();
}

void Output::Write(std::string_view bytes) {
    if (fd_ < 0) Fail(EBADF);
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            Fail(errno);
        }
        if (written == 0) Fail(EIO);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void Output::Commit() {
    if (fd_ < 0) Fail(EBADF);
    if (direct_) {
        if (fd_ != STDOUT_FILENO && ::close(std::exchange(fd_, -1)) != 0 && errno != EINTR) Fail(errno);
        committed_ = true;
        return;
    }
    if (::fsync(fd_) != 0) Fail(errno);
    if (::close(std::exchange(fd_, -1)) != 0 && errno != EINTR) Fail(errno);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) Fail(errno);
    temporary_.clear();
    committed_ = true;
    // The rename itself reaches the disk with the directory.
    const int dir = ::open(Split(target_).first.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void Output::Fail(int error) {
    Discard();
    const std::string name = StandardOutput(path_) ? "standard output" : path_;
    throw Failure("cannot write " + name + ": " + std::generic_category().message(error));
}

void Output::Discard() {
    if (fd_ >= 0 && fd_ != STDOUT_FILENO) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

std::string Reason(const Failure& failure) {
    const std::string message = failure.what();
    const std::size_t colon = message.rfind(": ");
    return colon == std::string::npos ? message : message.substr(colon + 2);
}

std::string WriteWhole(const std::string& path, std::string_view bytes) {
    try {
        Output out(path);
        out.Write(bytes);
        out.Commit();
    } catch (const Failure& e) {
        return e.what();
    }
    return "";
}

namespace {

// What identifies the file a name reaches: its device and inode where it
// exists, else its directory's and its last part.
std::optional<std::tuple<dev_t, ino_t, std::string>> Identity(const std::string& path) {
    struct stat st {};
    if (StandardOutput(path) ? ::fstat(STDOUT_FILENO, &st) == 0 : ::stat(path.c_str(), &st) == 0)
        return std::tuple{st.st_dev, st.st_ino, std::string()};
    const auto [directory, name] = Split(path);
    if (!name.empty() && ::stat(directory.c_str(), &st) == 0) return std::tuple{st.st_dev, st.st_ino, name};
    return std::nullopt;
}

std::string Lexical(const std::string& path) {
    if (StandardOutput(path)) return path;
    std::error_code error;
    std::filesystem::path p = std::filesystem::absolute(path, error);
    if (error) p = path;
    return p.lexically_normal().native();
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
    if (Lexical(a) == Lexical(b)) return true;
    const auto ia = Identity(a), ib = Identity(b);
    return ia && ib && *ia == *ib;
}

}  // namespace files
