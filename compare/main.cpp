// convdiff-compare: every scheme side by side, live.
#include <QApplication>

#include "compare_window.hpp"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("convdiff-compare");
    QApplication::setApplicationVersion(CONVDIFF_VERSION);
    compare::CompareWindow window;
    window.show();
    return QApplication::exec();
}
