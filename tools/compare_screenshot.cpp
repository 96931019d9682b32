// Makes a picture of the comparison window with the given inputs, once the
// convergence tab is computed: for the README and to look at the layout.
// Usage: compare_screenshot OUT.png [u] [N] [solutions|convergence]
#include <QApplication>
#include <QLineEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

#include "compare/compare_window.hpp"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: compare_screenshot OUT.png [u] [N] [solutions|convergence]\n");
        return 2;
    }
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, "/nonexistent");  // the defaults, not the user's
    compare::CompareWindow window;
    window.resize(1180, 760);
    window.show();
    if (argc > 2) window.findChild<QLineEdit*>("u")->setText(argv[2]);
    if (argc > 3) window.findChild<QLineEdit*>("N")->setText(argv[3]);
    if (argc > 4 && QString(argv[4]) == "convergence") window.findChild<QTabWidget*>()->setCurrentIndex(1);
    window.UpdateNow();
    const QString out = argv[1];
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (window.ConvergenceRunning() || !window.Convergence()) return;
        const bool ok = window.grab().save(out);
        app.exit(ok ? 0 : 1);
    });
    poll.start(100);
    return app.exec();
}
