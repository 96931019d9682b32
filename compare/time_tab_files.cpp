// The Time tab's plan read from its controls, its exports, as
// convdiff-transient writes them, and the choices it remembers between runs.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <QSpinBox>

#include "charts/charts.hpp"
#include "study/numbers.hpp"
#include "time_charts.hpp"
#include "time_choices.hpp"
#include "time_tab.hpp"

namespace compare {

namespace {
const QString kNothing = "nothing is marched: correct the inputs first";
}

std::optional<transient::Plan> TimeTab::Read(QString& why) {
    if (!inputs_) {
        why = inputsWhy_.isEmpty() ? "correct the marked inputs" : inputsWhy_;
        return std::nullopt;
    }
    const InitialChoice& c = kInitials[std::max(0, initial_->currentIndex())];
    QStringList bad;
    auto number = [&](QLineEdit* box, const QString& label) {
        const std::optional<double> v = study::ReadStrictNumber(box->text().toStdString());
        box->setStyleSheet(v ? QString() : "QLineEdit { border: 2px solid #d62728; background: #fff0f0; }");
        if (!v) bad.append(label + ": not a number");
        return v.value_or(0);
    };
    transient::Plan plan;
    plan.problem = inputs_->problem;
    plan.problem.periodic = periodic_->isChecked();
    plan.N = inputs_->N;
    const TimeChoice& time = kTimeChoices[std::max(0, scheme_->currentIndex())];
    plan.method = time.method;
    plan.theta = time.theta;
    // The ticked schemes the method marches; the others are named in the
    // banner.
    QStringList left;
    plan.schemes.clear();
    for (study::Scheme s : inputs_->schemes) {
        if (transient::MarchesBy(plan.method, s))
            plan.schemes.push_back(s);
        else
            left.append(charts::SchemeTitle(s));
    }
    leftOut_ = left.isEmpty() ? QString()
                              : QString("%1 %2 not marched: %3 marches only central, upwind and the limiters.")
                                    .arg(left.join(", "), left.size() == 1 ? "is" : "are",
                                         QString::fromUtf8(transient::MethodTitle(plan.method).data(),
                                                           qsizetype(transient::MethodTitle(plan.method).size())));
    transient::Term& term = plan.initial.terms.front();
    term.shape = c.shape;
    term.a = number(a_, QString::fromUtf8(c.labelA));
    if (c.labelB) term.b = number(b_, QString::fromUtf8(c.labelB));
    plan.dt = number(dt_, "Δt");
    plan.tEnd = number(tEnd_, "t_end");
    if (!bad.isEmpty()) {
        why = bad.join("; ");
        return std::nullopt;
    }
    if (plan.dt > 0 && plan.tEnd > 0) plan.frames = FramesFor(plan.tEnd, plan.dt);
    why = Unrunnable(plan);
    if (plan.schemes.empty())
        why = inputs_->schemes.empty() ? "tick a scheme to march" : "tick central, upwind or a limiter to march by " +
                                                                       QString::fromUtf8(transient::MethodTitle(plan.method).data());
    if (!why.isEmpty()) return std::nullopt;
    return plan;
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
    settings.setValue("time/periodic", periodic_->isChecked());
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
    const QString periodic = settings.value("time/periodic").toString();
    if (periodic == "true" || periodic == "false") periodic_->setChecked(periodic == "true");
    index("time/scheme", scheme_);
    text("time/dt", dt_);
    text("time/tEnd", tEnd_);
    bool ok = false;
    const int fps = settings.value("time/speed").toInt(&ok);
    if (ok && fps >= speed_->minimum() && fps <= speed_->maximum()) speed_->setValue(fps);
}

}  // namespace compare
