// convdiff: the main window, for one problem and one scheme at a time.
#include <QApplication>
#include <cstdio>

#include "desktop/display.hpp"
#include "files/whole_file.hpp"
#include "form1.hpp"

int main(int argc, char* argv[]) {
    files::RemoveTemporariesOnSignals();  // Results.txt stays whole when the window is ended
    // Qt would abort with a core dump where there is no display.
    if (const std::string why = desktop::NoDisplay(argc, argv); !why.empty()) {
        std::fputs(desktop::NoDisplayMessage("convdiff", why).c_str(), stderr);
        return 1;
    }
    QApplication app(argc, argv);
    Form1 window;
    window.show();
    return app.exec();
}
