// The Time tab's exports, as convdiff-transient writes them, and the
// choices it remembers between runs.
#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <QSpinBox>

#include "charts/charts.hpp"
#include "time_charts.hpp"
#include "time_tab.hpp"

namespace compare {

namespace {
const QString kNothing = "nothing is marched: correct the inputs first";
}

std::optional<transient::Plan> TimeTab::Now(QString& why) {
    if (stale_ || pending_.isActive()) return Read(why);
    why = kNothing;
    return plan_;
}

QString TimeTab::StartExport(const QString& path, bool history) {
    QString why;
    const auto plan = Now(why);
    if (!plan) return why;
    exporting_.Start(*plan, path, history);
    return {};
}
QString TimeTab::ExportHistory(const QString& path) { return StartExport(path, true); }
QString TimeTab::ExportErrors(const QString& path) { return StartExport(path, false); }

QString TimeTab::ExportChart(const QString& path) const {
    if (!plan_ || shown_ < 0) return kNothing;
    TimeProfileChart chart;
    chart.Start(*plan_);
    chart.ShowFrame(*frames_[std::size_t(shown_)], LastGood(shown_));
    return charts::Save(&chart, path, QSize(1000, 650));
}

void TimeTab::Save(QSettings& settings) const {
    settings.setValue("time/initial", initial_->currentIndex());
    settings.setValue("time/initialA", a_->text());
    settings.setValue("time/initialB", b_->text());
    settings.setValue("time/scheme", scheme_->currentIndex());
    settings.setValue("time/dt", dt_->text());
    settings.setValue("time/tEnd", tEnd_->text());
    settings.setValue("time/speed", speed_->value());
}

// Each value only when it is of its kind and in range.
void TimeTab::Load(const QSettings& settings) {
    auto index = [&](const char* key, QComboBox* box) {
        bool ok = false;
        const int i = settings.value(key).toInt(&ok);
        if (ok && i >= 0 && i < box->count()) box->setCurrentIndex(i);
    };
    auto text = [&](const char* key, QLineEdit* box) {
        const QVariant v = settings.value(key);
        if (v.typeId() == QMetaType::QString && v.toString().size() <= 64) box->setText(v.toString());
    };
    index("time/initial", initial_);
    text("time/initialA", a_);
    text("time/initialB", b_);
    index("time/scheme", scheme_);
    text("time/dt", dt_);
    text("time/tEnd", tEnd_);
    bool ok = false;
    const int fps = settings.value("time/speed").toInt(&ok);
    if (ok && fps >= speed_->minimum() && fps <= speed_->maximum()) speed_->setValue(fps);
}

}  // namespace compare
