// A stand-in for files/whole_file.cpp until it is merged: the same
// behaviour in brief (temporary file beside the target, checked writes,
// fsync and rename; devices, FIFOs and "-" written directly).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "files/whole_file.hpp"

namespace files {

Output::Output(std::string path) : path_(std::move(path)) {
    struct stat st{};
    if (path_ == "-") {
        fd_ = STDOUT_FILENO;
        direct_ = true;
        return;
    }
    if (::stat(path_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        direct_ = true;
        fd_ = ::open(path_.c_str(), O_WRONLY);
        if (fd_ < 0) Fail(errno);
        return;
    }
    temporary_ = path_ + ".XXXXXX";
    fd_ = ::mkstemp(temporary_.data());
    if (fd_ < 0) {
        temporary_.clear();
        Fail(errno);
    }
}

Output::~Output() { Discard(); }

void Output::Discard() {
    if (fd_ >= 0 && fd_ != STDOUT_FILENO) ::close(fd_);
    fd_ = -1;
    if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

void Output::Fail(int error) {
    const std::string why = std::strerror(error);
    Discard();
    throw Failure("cannot write " + path_ + ": " + why);
}

void Output::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(errno);
        }
        bytes.remove_prefix(std::size_t(n));
    }
}

void Output::Commit() {
    if (direct_) {
        committed_ = true;
        if (fd_ != STDOUT_FILENO && ::close(fd_) != 0) {
            fd_ = -1;
            Fail(errno);
        }
        fd_ = -1;
        return;
    }
    if (::fsync(fd_) != 0) Fail(errno);
    if (::fchmod(fd_, 0644) != 0) Fail(errno);
    if (::close(fd_) != 0) {
        fd_ = -1;
        Fail(errno);
    }
    fd_ = -1;
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) Fail(errno);
    committed_ = true;
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

bool SameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    struct stat sa{}, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

}  // namespace files
