// The comparison window's input panel: boxes, slider, scheme check boxes,
// and the strict reading of the boxes.
#include "input_panel.hpp"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

#include "charts/charts.hpp"
#include "study/numbers.hpp"

namespace compare {

namespace {

constexpr int kSliderSteps = 10;  // the slider moves Pe in steps of 0.1
constexpr int kSliderLimit = 10 * kSliderSteps;

struct Box {
    const char* label;
    const char* accessible;
    const char* value;  // at start and after Reset
};
constexpr std::array<Box, 7> kBoxes{{{"φA", "φA, phi at x = 0", "1"},
                                     {"φB", "φB, phi at x = L", "0"},
                                     {"u (m/s)", "u, velocity in m/s", "0.1"},
                                     {"N", "N, number of control volumes", "5"},
                                     {"L (m)", "L, length of the domain in m", "1"},
                                     {"ρ (kg/m³)", "rho, density in kg/m3", "1"},
                                     {"Γ (kg/(m·s))", "Gamma, diffusion coefficient in kg/(m s)", "0.1"}}};
enum { kPhiA, kPhiB, kU, kN, kL, kRho, kGamma };

std::optional<double> Number(const QLineEdit* box) { return study::ReadStrictNumber(box->text().toStdString()); }

}  // namespace

QString NameOf(study::Scheme s) { return QString::fromUtf8(study::Name(s).data(), qsizetype(study::Name(s).size())); }

QIcon Swatch(const QColor& colour) {
    QPixmap pixmap(14, 14);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

InputPanel::InputPanel(std::vector<study::Scheme> schemes, std::function<bool(study::Scheme)> tickedAtStart,
                       QWidget* parent)
    : QWidget(parent), schemes_(std::move(schemes)), tickedAtStart_(std::move(tickedAtStart)) {
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < kBoxes.size(); ++i) {
        auto* box = new QLineEdit(kBoxes[i].value);
        box->setObjectName(kBoxNames[i]);
        box->setAccessibleName(QString::fromUtf8(kBoxes[i].accessible));
        box->setMinimumWidth(90);
        auto* label = new QLabel(QString::fromUtf8(kBoxes[i].label) + ":");
        label->setBuddy(box);
        form->addRow(label, box);
        boxes_[i] = box;
        connect(box, &QLineEdit::textChanged, this, [this] {
            if (!settingSlider_) changed();
        });
    }
    layout->addLayout(form);

    auto* pecletLabel = new QLabel("Cell Peclet number, −10 to 10:");
    peclet_ = new QSlider(Qt::Horizontal);
    peclet_->setObjectName("peclet");
    peclet_->setAccessibleName("Cell Peclet number");
    peclet_->setRange(-kSliderLimit, kSliderLimit);
    peclet_->setSingleStep(1);
    peclet_->setPageStep(kSliderSteps);
    peclet_->setTickPosition(QSlider::TicksBelow);
    peclet_->setTickInterval(2 * kSliderSteps);
    pecletLabel->setBuddy(peclet_);
    connect(peclet_, &QSlider::valueChanged, this, &InputPanel::SliderMoved);
    layout->addWidget(pecletLabel);
    layout->addWidget(peclet_);

    // The linear schemes in one group, the limited ones in another.
    auto* linear = new QGroupBox("Schemes");
    auto* bounded = new QGroupBox("Bounded (TVD)");
    bounded->setObjectName("boundedSchemes");
    auto* linearLayout = new QVBoxLayout(linear);
    auto* boundedLayout = new QVBoxLayout(bounded);
    for (QVBoxLayout* l : {linearLayout, boundedLayout}) l->setSpacing(2);
    for (study::Scheme s : schemes_) {
        auto* check = new QCheckBox(charts::SchemeTitle(s));
        check->setObjectName("show_" + NameOf(s));
        check->setIcon(Swatch(charts::SchemeColour(s)));
        check->setChecked(tickedAtStart_(s));
        connect(check, &QCheckBox::toggled, this, &InputPanel::changed);
        (study::LimiterOf(s) ? boundedLayout : linearLayout)->addWidget(check);
        show_[s] = check;
    }
    layout->addWidget(linear);
    if (!boundedLayout->isEmpty()) layout->addWidget(bounded);
    else delete bounded;
    layout->addStretch(1);
}

std::optional<Inputs> InputPanel::Read(QString& why) {
    Inputs in;
    in.schemes = Ticked();
    // The scheme that needs the most control volumes sets the least N.
    long least = 1;
    const study::Scheme* neediest = nullptr;
    for (const study::Scheme& s : in.schemes)
        if (study::MinimumN(s) > least) least = study::MinimumN(s), neediest = &s;
    QStringList reasons;
    double values[7] = {};
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        QString reason;
        const std::optional<double> v = Number(boxes_[i]);
        if (!v) {
            reason = QString::fromStdString(study::NumberProblem(boxes_[i]->text().toStdString()));
        } else {
            values[i] = *v;
            if (i == kN) {
                if (*v != std::floor(*v) || *v < double(least) || *v > double(study::kMaxN))
                    reason = neediest ? QString("a whole number from %1 to 10,000,000 with %2 ticked")
                                            .arg(least)
                                            .arg(charts::SchemeTitle(*neediest))
                                      : "a whole number from 1 to 10,000,000";
            } else if (i == kL && *v == 0) {
                reason = "must not be 0: the domain would have no length";
            } else if (i == kGamma && *v < 0) {
                reason = "cannot be negative";
            }
        }
        const QString label = QString::fromUtf8(kBoxes[i].label);
        boxes_[i]->setToolTip(reason.isEmpty() ? QString() : label + ": " + reason);
        boxes_[i]->setStyleSheet(reason.isEmpty() ? QString()
                                                  : "QLineEdit { border: 2px solid #d62728; background: #fff0f0; }");
        boxes_[i]->setProperty("invalid", !reason.isEmpty());
        if (!reason.isEmpty()) reasons.append(label + ": " + reason);
    }
    why = reasons.join("; ");
    if (!reasons.isEmpty()) return std::nullopt;
    in.problem.left = study::End::Fixed(values[kPhiA]);
    in.problem.right = study::End::Fixed(values[kPhiB]);
    in.problem.u = values[kU];
    in.problem.L = values[kL];
    in.problem.rho = values[kRho];
    in.problem.gamma = values[kGamma];
    in.N = static_cast<long>(values[kN]);
    return in;
}

std::vector<study::Scheme> InputPanel::Ticked() const {
    std::vector<study::Scheme> ticked;
    for (study::Scheme s : schemes_)
        if (show_.at(s)->isChecked()) ticked.push_back(s);
    return ticked;
}

QLineEdit* InputPanel::Box(const char* name) const {
    for (std::size_t i = 0; i < kBoxNames.size(); ++i)
        if (QString(kBoxNames[i]) == name) return boxes_[i];
    return nullptr;
}

QString InputPanel::Text(const char* box) const { return Box(box)->text(); }
void InputPanel::SetText(const char* box, const QString& text) { Box(box)->setText(text); }

QStringList InputPanel::TickedNames() const {
    QStringList names;
    for (study::Scheme s : Ticked()) names.append(NameOf(s));
    return names;
}

void InputPanel::SetTicked(const QStringList& names) {
    for (auto& [scheme, check] : show_) check->setChecked(names.contains(NameOf(scheme)));
}

void InputPanel::Reset() {
    for (std::size_t i = 0; i < boxes_.size(); ++i) boxes_[i]->setText(kBoxes[i].value);
    for (auto& [scheme, check] : show_) check->setChecked(tickedAtStart_(scheme));
}

// The slider sets u = Pe Gamma / (rho dx) from the other inputs.
void InputPanel::SliderMoved(int value) {
    if (settingSlider_) return;
    const auto gamma = Number(boxes_[kGamma]), rho = Number(boxes_[kRho]), L = Number(boxes_[kL]),
               N = Number(boxes_[kN]);
    if (!gamma || !rho || !L || !N || *rho == 0 || *L == 0 || *N < 1) return;
    const double dx = *L / *N;
    const double u = double(value) / kSliderSteps * *gamma / (*rho * dx);
    if (std::isfinite(u)) boxes_[kU]->setText(QString::number(u, 'g', 12));
}

// And u moves the slider, without the slider moving u back.
void InputPanel::ShowPeclet(double pe) {
    const double steps = std::clamp(std::round(pe * kSliderSteps), double(-kSliderLimit), double(kSliderLimit));
    settingSlider_ = true;
    peclet_->setValue(int(steps));
    settingSlider_ = false;
}

}  // namespace compare
