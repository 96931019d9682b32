// The comparison window's File menu dialogs: a file name asked for, the
// export made, and a failure said with the file and the reason.
#include <QFileDialog>
#include <QMessageBox>

#include "compare_window.hpp"
#include "time_tab.hpp"

namespace compare {

void CompareWindow::AskAndExportChart() {
    const QString path =
        QFileDialog::getSaveFileName(this, "Export chart", "chart.png", "PNG image (*.png);;SVG drawing (*.svg)");
    if (path.isEmpty()) return;
    const QString why = ExportChart(path);
    if (!why.isEmpty())
        QMessageBox::warning(this, windowTitle(), "The chart could not be written to " + path + ": " + why);
}

void CompareWindow::AskAndExport(bool nodes) {
    const QString path = QFileDialog::getSaveFileName(this, nodes ? "Export nodes" : "Export errors",
                                                      nodes ? "nodes.csv" : "errors.csv", "CSV table (*.csv)");
    if (path.isEmpty()) return;
    const QString why = nodes ? ExportNodes(path) : ExportErrors(path);
    if (!why.isEmpty()) QMessageBox::warning(this, windowTitle(), "The table could not be written to " + why);
}

void CompareWindow::AskAndExportTime(bool history) {
    const QString path =
        QFileDialog::getSaveFileName(this, history ? "Export time history" : "Export time errors",
                                     history ? "history.csv" : "time-errors.csv", "CSV table (*.csv)");
    if (path.isEmpty()) return;
    const QString why = history ? time_->ExportHistory(path) : time_->ExportErrors(path);
    if (!why.isEmpty()) QMessageBox::warning(this, windowTitle(), "The table could not be written: " + why);
}

}  // namespace compare
