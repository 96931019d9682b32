// The comparison window's response: from a change of input to the charts
// and the table repainted (median of 15 changes), in the running window:
// the six linear schemes at N = 1,000 and N = 100,000, and all fifteen
// (the nine bounded ones too) at N = 1,000 on the Solutions tab and on the
// Limiters tab, where every limited face is a point of Sweby's diagram.
#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "compare/compare_window.hpp"
#include "compare/limiters_page.hpp"

namespace {

// u alternates between `a` and `b`.
double ChangeToRepaintMs(compare::CompareWindow& w, int n, int runs, const char* a = "2.5", const char* b = "0.1") {
    w.findChild<QLineEdit*>("N")->setText(QString::number(n));
    w.UpdateNow();
    QApplication::processEvents();
    QChartView* chart = w.Tabs()->currentWidget() == w.Limiters() ? w.Limiters()->View()
                                                                   : w.findChild<QChartView*>("solutionChart");
    std::vector<double> times, calculated;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        w.findChild<QLineEdit*>("u")->setText(run % 2 ? b : a);
        w.UpdateNow();
        calculated.push_back(double(clock.nsecsElapsed()) / 1e6);
        chart->repaint();
        w.findChild<QTableView*>("errors")->viewport()->repaint();
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::sort(calculated.begin(), calculated.end());
    std::fprintf(stderr, "  (N = %d: %.1f ms of it to the chart's series and the table's rows)\n", n,
                 calculated[calculated.size() / 2]);
    return times[times.size() / 2];
}

void Tick(compare::CompareWindow& w, bool bounded) {
    for (QCheckBox* box : w.findChildren<QCheckBox*>())
        if (box->objectName().startsWith("show_"))
            box->setChecked(bounded || !study::LimiterOf(*study::SchemeNamed(box->objectName().mid(5).toStdString())));
    w.UpdateNow();
    QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    compare::CompareWindow w;
    w.show();
    // "fifteen" measures only the fifteen schemes (for a profiler).
    const bool onlyFifteen = argc > 1 && std::string(argv[1]) == "fifteen";
    double small = 0, large = 0;
    if (!onlyFifteen) {
        Tick(w, false);
        small = ChangeToRepaintMs(w, 1000, 15);
        large = ChangeToRepaintMs(w, 100000, 15);
    }
    Tick(w, true);
    const double all = ChangeToRepaintMs(w, 1000, onlyFifteen ? 200 : 15);
    // A small step, as the slider makes, leaves the legend's texts alone.
    const double nearby = ChangeToRepaintMs(w, 1000, 15, "0.11", "0.1");
    w.Tabs()->setCurrentWidget(w.Limiters());
    QApplication::processEvents();
    const double limiters = ChangeToRepaintMs(w, 1000, 15);
    std::printf("six linear schemes, N = 1,000:   %.1f ms from a change of u to the chart and table repainted "
                "(target: under 16 ms)\n",
                small);
    std::printf("six linear schemes, N = 100,000: %.1f ms (target: no slower than 57 ms)\n", large);
    std::printf("all fifteen schemes, N = 1,000:  %.1f ms on the Solutions tab, %.1f ms on the Limiters tab "
                "(target: under 16 ms)\n",
                all, limiters);
    std::printf("all fifteen schemes, N = 1,000, u from 0.1 to 0.11 and back: %.1f ms on the Solutions tab\n", nearby);
}
