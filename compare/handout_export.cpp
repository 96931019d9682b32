// The comparison window's handout: the steady study on show with the
// window's own errors table, its convergence run, Sweby's diagram when
// limiters are ticked, and the Time tab's run once it has ended, in one PDF.
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

#include "charts/handout_study.hpp"
#include "charts/handout_time.hpp"
#include "compare_window.hpp"
#include "errors_model.hpp"
#include "files/whole_file.hpp"
#include "time_charts.hpp"
#include "time_tab.hpp"

namespace compare {

namespace {

// The errors table's columns a handout prints, as the window shows them.
charts::HandoutTable TableOf(const ErrorsModel& model) {
    const int columns[] = {ErrorsModel::kScheme, ErrorsModel::kMaxError, ErrorsModel::kOrder, ErrorsModel::kBounded,
                           ErrorsModel::kNote};
    charts::HandoutTable t;
    for (int c : columns) t.header.append(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    t.header.last() = "Verdict";
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c : columns) cells.append(model.index(r, c).data().toString());
        if (cells.last().isEmpty())
            cells.last() = cells[3] == "yes" && model.index(r, ErrorsModel::kNegative).data().toString() == "no"
                               ? charts::kNothingToWarn
                               : "";
        t.marked.push_back(cells[3] == "no");
        t.rows.push_back(cells);
    }
    return t;
}

}  // namespace

void TimeTab::AddToHandout(charts::Handout& h, const study::Problem& steady) const {
    if (!plan_ || !finished_ || !result_.outcome || frames_.empty()) return;
    std::vector<std::unique_ptr<QChart>> charts;
    for (long k : charts::HandoutFrames(FramesReady() - 1)) {
        auto chart = std::make_unique<TimeProfileChart>();
        chart->Start(*plan_);
        chart->SetEndings(Endings(*result_.outcome));
        chart->ShowFrame(*frames_[std::size_t(k)], LastGood(k));
        charts.push_back(std::move(chart));
    }
    const QImage picture = result_.spaceTime ? result_.spaceTime->Picture(plan_->schemes) : QImage();
    charts::AddTimeRun(h, *plan_, *result_.outcome, std::move(charts), picture, plan_->problem != steady, true);
}

QString CompareWindow::ExportHandout(const QString& path) {
    if (!current_) return "nothing has been calculated yet: correct the marked inputs first";
    charts::Handout handout("Convection-diffusion: the schemes compared");
    charts::AddStudy(handout, *current_, TableOf(*errors_), ConvergenceRunning() ? nullptr : convergence_.get());
    time_->AddToHandout(handout, current_->problem);
    const std::string why = handout.Write(QFile::encodeName(path).toStdString());
    return why.empty() ? QString() : QString("%1: %2").arg(path, QString::fromLocal8Bit(files::Reason(why)));
}

void CompareWindow::AskAndExportHandout() {
    QString path = QFileDialog::getSaveFileName(this, "Export handout", "handout.pdf", "PDF document (*.pdf)");
    if (path.isEmpty()) return;
    if (!charts::PdfName(path.toStdString())) path += ".pdf";
    const QString why = ExportHandout(path);
    if (!why.isEmpty()) QMessageBox::warning(this, windowTitle(), "The handout could not be written to " + why);
}

}  // namespace compare
