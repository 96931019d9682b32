// The display check of the window programs, from the environment and, for
// a local X server, its socket.
#include "display.hpp"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace desktop {

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool Connects(const std::string& path, bool abstract) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t offset = abstract ? 1 : 0;  // an abstract name starts with a zero byte
    if (path.size() + offset >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path + offset, path.data(), path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return true;  // nothing learnt: leave it to Qt
    const socklen_t length = socklen_t(offsetof(sockaddr_un, sun_path) + offset + path.size());
    const bool reached = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    ::close(fd);
    return reached;
}

// Whether the X server DISPLAY names answers: ":N" or "unix:N" (with an
// optional ".screen") is a local socket; any other host is not tried.
bool XServerAnswers(const std::string& display) {
    const std::size_t colon = display.rfind(':');
    if (colon == std::string::npos) return false;
    const std::string host = display.substr(0, colon);
    if (!host.empty() && host != "unix") return true;
    const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) return false;
    const std::string socket = "/tmp/.X11-unix/X" + number;
    return Connects(socket, false) || Connects(socket, true);
}

}  // namespace

std::string NoDisplay(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) return "";
    const std::string platform = Variable("QT_QPA_PLATFORM");
    if (!platform.empty() && platform.rfind("xcb", 0) != 0) return "";
    // Qt takes Wayland where it is there and no platform is named.
    if (platform.empty() && !Variable("WAYLAND_DISPLAY").empty()) return "";
    const std::string display = Variable("DISPLAY");
    if (display.empty()) return "DISPLAY is not set";
    if (!XServerAnswers(display)) return "the X server of DISPLAY=" + display + " cannot be reached";
    return "";
}

std::string NoDisplayMessage(const std::string& program, const std::string& why) {
    return program + ": no display could be opened (" + why +
           "): run it on a desktop, or set QT_QPA_PLATFORM=offscreen for a test\n";
}

}  // namespace desktop
