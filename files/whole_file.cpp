// Files written whole or not at all, on POSIX: a temporary file beside the
// target, renamed over it once every byte is written and synced.
#include "whole_file.hpp"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>
#include <tuple>
#include <utility>
#include <vector>

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

// Where a chain of symbolic links ends, as the system follows it when it
// creates a file through the first: "a -> sub/b", with no b yet, is
// "sub/b" beside "a". A name that is no link is itself.
std::string FollowLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        std::string to(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), to.data(), to.size());
        if (length <= 0) break;
        to.resize(static_cast<std::size_t>(length));
        path = to.front() == '/' ? to : Split(path).first + "/" + to;
    }
    return path;
}

// A write to a pipe whose reader has gone raises SIGPIPE, which would end
// the program (a window and all it shows); while one of these lives the
// signal is held back on this thread and the write fails with EPIPE, and a
// SIGPIPE the write raised is taken back before the mask is restored.
class HoldBrokenPipe {
public:
    HoldBrokenPipe() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        pendingBefore_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
    }
    ~HoldBrokenPipe() {
        if (!pendingBefore_) {
            const timespec none{};
            while (sigtimedwait(&pipe_, nullptr, &none) > 0) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }
    HoldBrokenPipe(const HoldBrokenPipe&) = delete;
    HoldBrokenPipe& operator=(const HoldBrokenPipe&) = delete;

private:
    sigset_t pipe_{}, old_{};
    bool pendingBefore_ = false;
};

// A file opened while a standard stream is closed would take its number,
// and what is written to that stream would land in the file: it is moved
// above them, leaving the stream closed.
int AboveStandardStreams(int fd) {
    if (fd < 0 || fd > STDERR_FILENO) return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    const int error = errno;
    ::close(fd);
    errno = error;
    return moved;
}

int OpenDirect(const std::string& path, FifoReader reader) {
    const int wait = reader == FifoReader::WaitFor ? 0 : O_NONBLOCK;
    int fd;
    do fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | wait);
    while (fd < 0 && errno == EINTR);
    fd = AboveStandardStreams(fd);
    // Once open, writes wait for the reader as usual.
    if (fd >= 0 && wait != 0) {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
            const int error = errno;
            ::close(fd);
            errno = error;
            return -1;
        }
    }
    return fd;
}

// The temporary files of this process, for a signal that ends it to remove:
// a slot is free (0), being filled (1) or names a file (2).
struct Slot {
    std::atomic<int> state{0};
    char name[PATH_MAX] = {};
};
Slot slots[32];

int Register(const std::string& temporary) {
    if (temporary.size() >= PATH_MAX) return -1;
    for (int i = 0; i < int(std::size(slots)); ++i) {
        int expected = 0;
        if (!slots[i].state.compare_exchange_strong(expected, 1)) continue;
        std::memcpy(slots[i].name, temporary.c_str(), temporary.size() + 1);
        slots[i].state = 2;
        return i;
    }
    return -1;
}

void Unregister(int& slot) {
    if (slot >= 0) slots[slot].state = 0;
    slot = -1;
}

void RemoveAndEnd(int signal) {
    for (Slot& slot : slots)
        if (slot.state == 2) ::unlink(slot.name);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

}  // namespace

void RemoveTemporariesOnSignals() {
    // Every signal whose default action ends the process. SIGPIPE is among
    // them: a write to standard output, a FIFO or a device holds it back
    // (HoldBrokenPipe) and fails with EPIPE instead, so this handler only
    // sees one raised elsewhere.
    std::vector<int> ending{SIGHUP,  SIGINT,  SIGQUIT, SIGILL,    SIGTRAP, SIGABRT, SIGBUS,  SIGFPE,
                            SIGUSR1, SIGSEGV, SIGUSR2, SIGPIPE,   SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ,
                            SIGVTALRM, SIGPROF, SIGSYS};
#ifdef SIGIO
    ending.push_back(SIGIO);
#endif
#ifdef SIGPWR
    ending.push_back(SIGPWR);
#endif
#ifdef SIGSTKFLT
    ending.push_back(SIGSTKFLT);
#endif
    for (int rt = SIGRTMIN; rt <= SIGRTMAX; ++rt) ending.push_back(rt);
    for (const int signal : ending) {
        struct sigaction old {};
        // Only where the default stands: one ignored stays ignored (a run
        // started with nohup, or in the background of a script), and a
        // handler someone else set (a sanitizer's) stays theirs.
        if (::sigaction(signal, nullptr, &old) != 0 || (old.sa_flags & SA_SIGINFO) != 0 ||
            old.sa_handler != SIG_DFL)
            continue;
        struct sigaction action {};
        action.sa_handler = RemoveAndEnd;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

Output::Output(std::string path, FifoReader reader) : path_(std::move(path)) {
    if (StandardOutput(path_)) {
        fd_ = STDOUT_FILENO;
        direct_ = true;
        return;
    }
    struct stat old {};
    const bool exists = ::stat(path_.c_str(), &old) == 0;
    // Links that lead round in a circle reach no file: refused as the shell
    // refuses them, never broken by a file put in place of one.
    if (!exists && errno == ELOOP) Fail(ELOOP);
    if (exists && !S_ISREG(old.st_mode)) {
        // A device, a FIFO, a socket or a directory: written to as it is,
        // or refused by the system (a directory).
        direct_ = true;
        fd_ = OpenDirect(path_, reader);
        if (fd_ < 0) Fail(errno);
        return;
    }
    // A file this user may not write to (one made read-only) stays, as it
    // would from the shell's "> file", though its directory would let it be
    // replaced.
    if (exists && ::faccessat(AT_FDCWD, path_.c_str(), W_OK, AT_EACCESS) != 0) Fail(errno);
    // The file put in place is the one a symbolic link points to, so that
    // the link stays.
    std::string target = FollowLinks(path_);
    if (exists) {
        if (char* real = ::realpath(path_.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    auto [directory, name] = Split(target);
    if (name.empty()) Fail(EISDIR);
    temporary_ = directory + "/." + name.substr(0, 200) + ".XXXXXX";
    // Signals wait while the file is made and registered: one between the
    // two would end the program leaving a file no handler knows of.
    sigset_t all, saved;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &saved);
    const int fd = ::mkostemp(temporary_.data(), O_CLOEXEC);
    const int error = errno;
    if (fd >= 0) slot_ = Register(temporary_);
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    if (fd < 0) {
        temporary_.clear();
        Fail(error);
    }
    fd_ = AboveStandardStreams(fd);
    if (fd_ < 0) Fail(errno);
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
    std::optional<HoldBrokenPipe> held;
    if (direct_) held.emplace();
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            held.reset();
            Fail(error);
        }
        if (written == 0) Fail(EIO);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void Output::Commit() {
    if (fd_ < 0) Fail(EBADF);
    if (direct_) {
        // Standard output sent to a regular file: a full disk may only show
        // when the data reaches it.
        struct stat st {};
        if (::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) && ::fsync(fd_) != 0 && errno != EINVAL) Fail(errno);
        if (fd_ != STDOUT_FILENO && ::close(std::exchange(fd_, -1)) != 0 && errno != EINTR) Fail(errno);
        committed_ = true;
        return;
    }
    if (::fsync(fd_) != 0) Fail(errno);
    if (::close(std::exchange(fd_, -1)) != 0 && errno != EINTR) Fail(errno);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) Fail(errno);
    Unregister(slot_);
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
    Unregister(slot_);
    temporary_.clear();
}

std::string Reason(std::string_view message) {
    const std::size_t colon = message.rfind(": ");
    return std::string(colon == std::string_view::npos ? message : message.substr(colon + 2));
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
    if (StandardOutput(path)) {
        if (::fstat(STDOUT_FILENO, &st) != 0) return std::nullopt;
        return std::tuple{st.st_dev, st.st_ino, std::string()};
    }
    if (::stat(path.c_str(), &st) == 0) return std::tuple{st.st_dev, st.st_ino, std::string()};
    const auto [directory, name] = Split(FollowLinks(path));
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
    // What the file system says comes first: "link/.." need not be ".".
    const auto ia = Identity(a), ib = Identity(b);
    if (ia && ib) return *ia == *ib;
    return Lexical(a) == Lexical(b);
}

bool RegularFile(const std::string& path) {
    struct stat st {};
    const int result = StandardOutput(path) ? ::fstat(STDOUT_FILENO, &st) : ::stat(path.c_str(), &st);
    return result == 0 && S_ISREG(st.st_mode);
}

}  // namespace files
