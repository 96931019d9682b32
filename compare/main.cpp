// convdiff-compare: every scheme side by side, live.
#include <QApplication>
#include <cstdio>

#include "compare_window.hpp"
#include "desktop/display.hpp"
#include "files/whole_file.hpp"

int main(int argc, char** argv) {
    files::RemoveTemporariesOnSignals();  // an export ended by a signal leaves no temporary file
    // Qt would abort with a core dump where there is no display.
    if (const std::string why = desktop::NoDisplay(argc, argv); !why.empty()) {
        std::fputs(desktop::NoDisplayMessage("convdiff-compare", why).c_str(), stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("convdiff-compare");
    QApplication::setApplicationVersion(CONVDIFF_VERSION);
    compare::CompareWindow window;
    window.show();
    return QApplication::exec();
}
