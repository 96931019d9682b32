// The main window's response: from a click of Calculate until the window
// answers again (every event the calculation caused, repaints included, has
// been handled), for a central calculation at N = 300 and a QUICK one at
// N = 100,000, in the same run; then the window's resident size. The results
// file and a large plot are finished off the window's thread; each click
// waits for them before it starts. Run it on a real display (bench.sh starts
// Xvfb).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/form1.hpp"
#include "app/plot_area.hpp"

namespace {

double ClickToIdleMs(Form1& w, const char* option, const char* n) {
    w.findChild<QLineEdit*>("Text_N")->setText(n);
    w.findChild<QRadioButton*>(option)->setChecked(true);
    QApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    w.findChild<QPushButton*>("Command1")->click();
    QApplication::processEvents();  // the repaints the calculation asked for
    QApplication::processEvents();
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    // What goes on off the window's thread is finished before the next click.
    w.WaitForResultsFile();
    w.findChild<PlotArea*>("Pic")->WaitUntilDrawn();
    return ms;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long ResidentKb() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;  // for Results.txt
    QDir::setCurrent(dir.path());
    Form1 w;
    w.show();
    QApplication::processEvents();
    std::vector<double> central, quick;
    for (int run = 0; run < 7; ++run) {
        central.push_back(ClickToIdleMs(w, "Opt_Central", "300"));
        quick.push_back(ClickToIdleMs(w, "Opt_QUICK", "100000"));
    }
    const long rss = ResidentKb();
    std::printf("central, N = 300:     %.1f ms (median of 7)\n", Median(central));
    std::printf("QUICK, N = 100,000:   %.1f ms (median of 7)\n", Median(quick));
    std::printf("ratio: %.2f (target: at most 4)\n", Median(quick) / Median(central));
    std::printf("resident size after the QUICK calculation: %ld MB (target: under 150 MB)\n", rss / 1024);
}
