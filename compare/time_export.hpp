// The Time tab's CSV exports, as convdiff-transient --history and --errors
// write them: marched again off the window's thread and streamed to the
// file a few megabytes at a time, the newest request winning; and what the
// window's status bar shows of them (progress, a Cancel button, the end).
#pragma once

#include <QObject>
#include <QString>
#include <optional>

#include "background_job.hpp"
#include "transient/run.hpp"

class QMainWindow;

namespace compare {

// Its parts are the share of the frames written so far, in percent.
using ExportJob = StreamingJob<int, QString>;

// Marches `plan` again and writes its history (or its errors) to `path`:
// "" or why the file was not written. Nothing when the job was cancelled;
// the file is then as it was, and no temporary is left.
std::optional<QString> WriteTimeTable(const transient::Plan& plan, const QString& path, bool history,
                                      JobControl& control, const ExportJob::Hand& hand);

class TimeExport : public QObject {
    Q_OBJECT

public:
    explicit TimeExport(QObject* parent = nullptr);

    // Starts writing the table of `plan`; an export under way is cancelled.
    void Start(const transient::Plan& plan, const QString& path, bool history);
    // Stops the export under way, if any; its file is left as it was.
    void Cancel();
    // Whether an export is under way and wanted.
    bool Running() const { return job_.Running(); }
    ExportJob& Job() { return job_; }

signals:
    void started(const QString& path);
    void progressed(int percent);
    // Not for a cancelled export. `why` is "" when the file was written.
    void finished(const QString& path, const QString& why);
    void cancelled(const QString& path);

private:
    QString path_;
    ExportJob job_;
};

// Puts the progress of `exporting` in `window`'s status bar, with a Cancel
// button, and says there how each export ended (a failure in a box too).
void ShowTimeExports(QMainWindow& window, TimeExport& exporting);

}  // namespace compare
