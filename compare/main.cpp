// convdiff-compare: every scheme side by side, live.
#include <QApplication>

#include "compare_window.hpp"
#include "files/whole_file.hpp"

int main(int argc, char** argv) {
    files::RemoveTemporariesOnSignals();  // an export ended by a signal leaves no temporary file
    QApplication app(argc, argv);
    QApplication::setApplicationName("convdiff-compare");
    QApplication::setApplicationVersion(CONVDIFF_VERSION);
    compare::CompareWindow window;
    window.show();
    return QApplication::exec();
}
