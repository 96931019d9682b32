// convdiff: the main window, for one problem and one scheme at a time.
#include <QApplication>

#include "files/whole_file.hpp"
#include "form1.hpp"

int main(int argc, char* argv[]) {
    files::RemoveTemporariesOnSignals();  // Results.txt stays whole when the window is ended
    QApplication app(argc, argv);
    Form1 window;
    window.show();
    return app.exec();
}
