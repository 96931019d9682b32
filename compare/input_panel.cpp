// The comparison window's input panel: the problem's boxes, the kinds of its
// ends and the grid's layout, slider, scheme check boxes, and the strict
// reading of the boxes against the study's rules.
#include "input_panel.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "charts/charts.hpp"
#include "screen_fit.hpp"
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
// In the order of kBoxNames; the labels of phiA and phiB follow the kind of
// their end (kEndWords).
constexpr std::array<Box, 11> kBoxes{{{"φ(0)", "", "1"},
                                      {"φ(L)", "", "0"},
                                      {"u (m/s)", "u, velocity in m/s", "0.1"},
                                      {"N", "N, number of control volumes", "5"},
                                      {"L (m)", "L, length of the domain in m", "1"},
                                      {"ρ (kg/m³)", "rho, density in kg/m3", "1"},
                                      {"Γ (kg/(m·s))", "Gamma, diffusion coefficient in kg/(m s)", "0.1"},
                                      {"H at 0", "H at 0: the flux out of the Robin wall at x = 0 is H (φ − V)", "1"},
                                      {"H at L", "H at L: the flux out of the Robin wall at x = L is H (φ − V)", "1"},
                                      {"Su", "Su, the constant part of the source per unit volume", "0"},
                                      {"Sp", "Sp, the source per unit volume and unit of phi, 0 or below", "0"}}};
enum { kPhiA, kPhiB, kU, kN, kL, kRho, kGamma, kLeftH, kRightH, kSu, kSp };

// What the value box of each end holds, for each kind (EndKind's order).
struct EndWords {
    const char* label;
    const char* accessible;
};
constexpr EndWords kEndWords[2][3] = {
    {{"φ(0)", "φ(0), phi at x = 0"},
     {"dφ/dx at 0", "dφ/dx at 0, the gradient of phi at x = 0 (0 for outflow)"},
     {"V at 0", "V at 0, the outside value of the Robin wall at x = 0"}},
    {{"φ(L)", "φ(L), phi at x = L"},
     {"dφ/dx at L", "dφ/dx at L, the gradient of phi at x = L (0 for outflow)"},
     {"V at L", "V at L, the outside value of the Robin wall at x = L"}}};
constexpr const char* kKinds[] = {"Value", "Gradient", "Robin"};
constexpr const char* kEndTitles[] = {"Left end", "Right end"};
const char* const kKindTip =
    "Value: φ is fixed. Gradient: dφ/dx is fixed (0 for outflow). Robin: a wall whose diffusive flux out is "
    "H (φ − V).";

std::optional<double> Number(const QLineEdit* box) { return study::ReadStrictNumber(box->text().toStdString()); }

// A box that cannot be used is framed in red, with `tip` ("label: reason")
// as its tooltip; an empty tip clears the mark.
void Mark(QWidget* box, const QString& tip) {
    box->setToolTip(tip.isEmpty() ? box->property("plainTip").toString() : tip);
    box->setStyleSheet(tip.isEmpty() ? QString()
                                     : QString("%1 { border: 2px solid #d62728; background: #fff0f0; }")
                                           .arg(box->metaObject()->className()));
    box->setProperty("invalid", !tip.isEmpty());
}

}  // namespace

QString NameOf(study::Scheme s) { return QString::fromUtf8(study::Name(s).data(), qsizetype(study::Name(s).size())); }

QIcon Swatch(study::Scheme s) { return QIcon(QPixmap::fromImage(charts::SwatchImage(s, 22, 14))); }

InputPanel::InputPanel(std::vector<study::Scheme> schemes, std::function<bool(study::Scheme)> tickedAtStart,
                       QWidget* parent)
    : QWidget(parent), schemes_(std::move(schemes)), tickedAtStart_(std::move(tickedAtStart)) {
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(BuildBoxes());
    for (int end : {0, 1}) KindChosen(end);

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

    // The linear schemes in one group, the limited ones in another, down two
    // columns. Tight, as the boxes' rows are, so that the rows of H of two
    // Robin walls and the grid's row still leave the window short enough for
    // a screen 720 high.
    auto* linear = new QGroupBox("Schemes");
    auto* bounded = new QGroupBox("Bounded (TVD)");
    bounded->setObjectName("boundedSchemes");
    auto* linearLayout = new QGridLayout(linear);
    auto* boundedLayout = new QGridLayout(bounded);
    for (QGridLayout* l : {linearLayout, boundedLayout}) {
        l->setVerticalSpacing(2);
        l->setContentsMargins(6, 2, 6, 2);
    }
    const auto limited = [](study::Scheme s) { return study::LimiterOf(s).has_value(); };
    int linearCount = 0;
    for (study::Scheme s : schemes_) {
        auto* check = new QCheckBox(charts::SchemeTitle(s));
        check->setObjectName("show_" + NameOf(s));
        check->setIcon(Swatch(s));
        check->setChecked(tickedAtStart_(s));
        connect(check, &QCheckBox::toggled, this, &InputPanel::changed);
        if (limited(s)) {
            bounded_.push_back(check);
        } else {
            linearLayout->addWidget(check, linearCount++, 0);
        }
        show_[s] = check;
    }
    boundedLayout_ = boundedLayout;
    SetColumns(2);
    layout->addWidget(linear);
    if (!boundedLayout->isEmpty()) layout->addWidget(bounded);
    else delete bounded;
    layout->addStretch(1);
}

void InputPanel::SetColumns(int columns) {
    const int rows = (int(bounded_.size()) + columns - 1) / std::max(1, columns);
    for (QCheckBox* check : bounded_) boundedLayout_->removeWidget(check);
    for (int i = 0; i < int(bounded_.size()); ++i) boundedLayout_->addWidget(bounded_[i], i % rows, i / rows);
}

// Each end on a row of its own: its number and its kind, with a row below
// for Robin's H shown for a Robin wall only; then the coefficients, then the
// source.
QLayout* InputPanel::BuildBoxes() {
    form_ = new QFormLayout;
    form_->setVerticalSpacing(4);
    for (std::size_t i = 0; i < kBoxes.size(); ++i) {
        auto* box = new QLineEdit(kBoxes[i].value);
        box->setObjectName(kBoxNames[i]);
        box->setAccessibleName(QString::fromUtf8(kBoxes[i].accessible));
        box->setProperty("title", QString::fromUtf8(kBoxes[i].label));
        // Those that share a row take no more room than a number needs.
        const bool shares = i == kPhiA || i == kPhiB || i == kSu || i == kSp;
        if (shares) box->setMaximumWidth(0);  // no wider than its longest number
        // The slider writes u with twelve figures.
        WidenFor(box, i == kU ? QString("-0.166666666667") : kLongestNumber);
        labels_[i] = new QLabel(QString::fromUtf8(kBoxes[i].label) + ":");
        labels_[i]->setBuddy(box);
        boxes_[i] = box;
        connect(box, &QLineEdit::textChanged, this, [this] {
            if (!settingSlider_) changed();
        });
    }
    auto row = [](std::initializer_list<QWidget*> widgets) {
        auto* layout = new QHBoxLayout;
        for (QWidget* w : widgets) layout->addWidget(w);
        return layout;
    };
    for (int end : {0, 1}) {
        auto* kind = new QComboBox;
        kind->setObjectName(kKindNames[std::size_t(end)]);
        kind->setAccessibleName(QString("Kind of the %1").arg(QString(kEndTitles[end]).toLower()));
        kind->setProperty("title", kEndTitles[end]);
        for (const char* k : kKinds) kind->addItem(k);
        kind->setProperty("plainTip", QString::fromUtf8(kKindTip));
        kind->setToolTip(QString::fromUtf8(kKindTip));
        connect(kind, &QComboBox::currentIndexChanged, this, [this, end] {
            KindChosen(end);
            changed();
        });
        kinds_[std::size_t(end)] = kind;
        const std::size_t value = end == 0 ? kPhiA : kPhiB, h = end == 0 ? kLeftH : kRightH;
        form_->addRow(labels_[value], row({boxes_[value], kind}));
        form_->addRow(labels_[h], boxes_[h]);
    }
    for (std::size_t i : {kU, kN, kL, kRho, kGamma}) form_->addRow(labels_[i], boxes_[i]);
    BuildGrid();
    auto* source = row({boxes_[kSu], labels_[kSp], boxes_[kSp]});
    source->insertSpacing(1, 6);
    source->addStretch(1);
    form_->addRow(labels_[kSu], source);
    return form_;
}

// The value box's label follows its end's kind; H is for a Robin wall only.
void InputPanel::KindChosen(int end) {
    const int kind = std::max(0, kinds_[std::size_t(end)]->currentIndex());
    const EndWords& words = kEndWords[end][kind];
    const std::size_t value = end == 0 ? kPhiA : kPhiB, h = end == 0 ? kLeftH : kRightH;
    labels_[value]->setText(QString::fromUtf8(words.label) + ":");
    boxes_[value]->setProperty("title", QString::fromUtf8(words.label));
    boxes_[value]->setAccessibleName(QString::fromUtf8(words.accessible));
    const bool robin = kind == int(study::EndKind::Robin);
    form_->setRowVisible(boxes_[h], robin);
    boxes_[h]->setEnabled(robin);
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
    std::array<double, kBoxes.size()> values{};
    for (QComboBox* kind : kinds_) Mark(kind, {});
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        QString reason;
        const std::optional<double> v = Number(boxes_[i]);
        if (!boxes_[i]->isEnabled()) {
            // Robin's H of an end that is no Robin wall: not read.
        } else if (!v) {
            reason = QString::fromStdString(study::NumberProblem(boxes_[i]->text().toStdString()));
        } else {
            values[i] = *v;
            if (i == kN && (*v != std::floor(*v) || *v < double(least) || *v > double(study::kMaxN)))
                reason = neediest ? QString("a whole number from %1 to 10,000,000 with %2 ticked")
                                        .arg(least)
                                        .arg(charts::SchemeTitle(*neediest))
                                  : "a whole number from 1 to 10,000,000";
        }
        Mark(boxes_[i], reason.isEmpty() ? QString() : LabelOf(boxes_[i]) + ": " + reason);
        if (!reason.isEmpty()) reasons.append(LabelOf(boxes_[i]) + ": " + reason);
    }
    study::GridLayout grid;
    const QString gridReason = GridReason(grid, long(values[kN]), values[kL], reasons.isEmpty());
    Mark(ratio_, gridReason.isEmpty() ? QString() : LabelOf(ratio_) + ": " + gridReason);
    if (!gridReason.isEmpty()) reasons.append(LabelOf(ratio_) + ": " + gridReason);
    why = reasons.join("; ");
    if (!reasons.isEmpty()) return std::nullopt;
    auto end = [&](int side, std::size_t value, std::size_t h) {
        switch (study::EndKind(std::max(0, kinds_[std::size_t(side)]->currentIndex()))) {
            case study::EndKind::Value: return study::End::Fixed(values[value]);
            case study::EndKind::Gradient: return study::End::Slope(values[value]);
            case study::EndKind::Robin: break;
        }
        return study::End::Robin(values[h], values[value]);
    };
    study::Problem& p = in.problem;
    p.left = end(0, kPhiA, kLeftH);
    p.right = end(1, kPhiB, kRightH);
    p.u = values[kU];
    p.L = values[kL];
    p.rho = values[kRho];
    p.gamma = values[kGamma];
    p.su = values[kSu];
    p.sp = values[kSp];
    if (grid.kind != study::GridKind::Uniform) p.grid = grid;  // equal cells: the study's default
    in.N = static_cast<long>(values[kN]);
    // Pure convection is no fault: the steady tabs say they wait for Γ > 0,
    // and the Time tab marches it unless it breaks a rule of its own.
    std::optional<study::Fault> fault = study::Unusable(p, study::Use::Steady);
    if (fault && fault->input == "gamma" && p.gamma == 0) fault = study::Unusable(p, study::Use::Transient);
    if (fault) {
        QWidget* box = BoxOf(*fault, p);
        in.steadyWhy = LabelOf(box) + ": " + QString::fromStdString(fault->reason);
        Mark(box, in.steadyWhy);
    }
    why = in.steadyWhy;
    return in;
}

// "left" and "right" name an end: its H when Robin's H is the fault, its
// kind when no end fixes phi, its number otherwise.
QWidget* InputPanel::BoxOf(const study::Fault& fault, const study::Problem& p) const {
    if (fault.input == "left" || fault.input == "right") {
        const int side = fault.input == "left" ? 0 : 1;
        const study::End& e = side == 0 ? p.left : p.right;
        if (e.kind == study::EndKind::Robin && !(e.h > 0)) return boxes_[side == 0 ? kLeftH : kRightH];
        if (p.left.kind == study::EndKind::Gradient && p.right.kind == study::EndKind::Gradient && p.sp == 0)
            return kinds_[std::size_t(side)];
        return boxes_[side == 0 ? kPhiA : kPhiB];
    }
    for (std::size_t i = 0; i < kBoxNames.size(); ++i)
        if (fault.input == kBoxNames[i]) return boxes_[i];
    return boxes_[kU];  // the window sets no other input ("periodic" is the Time tab's)
}

QString InputPanel::LabelOf(const QWidget* box) const { return box->property("title").toString(); }

std::vector<study::Scheme> InputPanel::Ticked() const {
    std::vector<study::Scheme> ticked;
    for (study::Scheme s : schemes_)
        if (show_.at(s)->isChecked()) ticked.push_back(s);
    return ticked;
}

QLineEdit* InputPanel::Box(const char* name) const {
    if (QString(name) == kRatioName) return ratio_;
    for (std::size_t i = 0; i < kBoxNames.size(); ++i)
        if (QString(kBoxNames[i]) == name) return boxes_[i];
    return nullptr;
}

QString InputPanel::Text(const char* box) const { return Box(box)->text(); }
void InputPanel::SetText(const char* box, const QString& text) { Box(box)->setText(text); }

QString InputPanel::Kind(const char* box) const {
    for (QComboBox* kind : {kinds_[0], kinds_[1], grid_})
        if (kind->objectName() == box) return kind->currentText().toLower();
    return {};
}

void InputPanel::SetKind(const char* box, const QString& kind) {
    for (QComboBox* k : {kinds_[0], kinds_[1], grid_})
        for (int i = 0; i < k->count(); ++i)
            if (k->objectName() == box && k->itemText(i).toLower() == kind) k->setCurrentIndex(i);
}

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
    for (QComboBox* kind : kinds_) kind->setCurrentIndex(0);
    grid_->setCurrentIndex(0);
    ratio_->setText("1");
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
