// Makes a picture of the main window: optionally picks a scheme and sets N,
// presses Calculate, and saves the window as a PNG. Used for the README and
// to look at the layout. Usage: screenshot OUT.png [central|upwind|hibrid|quick] [N]
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <cstdio>

#include "app/form1.hpp"
#include "app/plot_area.hpp"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshot OUT.png [central|upwind|hibrid|quick] [N]\n");
        return 2;
    }
    Form1 window;
    window.show();
    const QString scheme = argc > 2 ? QString(argv[2]).toLower() : "central";
    const QString option = scheme == "upwind" ? "Opt_Upwind"
                           : scheme == "hibrid" ? "Opt_Hibrid"
                           : scheme == "quick"  ? "Opt_QUICK"
                                                : "Opt_Central";
    window.findChild<QRadioButton*>(option)->setChecked(true);
    if (argc > 3) window.findChild<QLineEdit*>("Text_N")->setText(argv[3]);
    window.findChild<QPushButton*>("Command1")->click();
    const QString out = argv[1];
    QTimer::singleShot(100, [&] {
        window.findChild<PlotArea*>("Pic")->WaitUntilDrawn();  // a large plot is drawn off the window's thread
        const bool ok = window.grab().save(out);
        app.exit(ok ? 0 : 1);
    });
    return app.exec();
}
