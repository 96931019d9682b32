// The comparison window's inputs: the boxes of the problem, the kind of each
// end, the layout of the cells, the cell Peclet number's slider and a check
// box for each scheme offered, with the strict reading and marking of what
// was typed.
#pragma once

#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "study/rules.hpp"
#include "study/study.hpp"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSlider;

namespace compare {

// What the boxes and the ticks ask for, once every box reads.
struct Inputs {
    study::Problem problem;
    long N = 0;
    std::vector<study::Scheme> schemes;  // the ticked ones, in the order offered
    // Why the steady tabs cannot solve the problem, as its marked box says
    // ("" when they can). Pure convection is not said here: the steady tabs
    // wait for Gamma > 0 while the Time tab marches it.
    QString steadyWhy;
};

class InputPanel : public QWidget {
    Q_OBJECT

public:
    // The boxes' objectNames. phiA and phiB hold each end's value, gradient
    // or Robin's V as its kind says; left_h and right_h Robin's H.
    static constexpr std::array<const char*, 11> kBoxNames{"phiA", "phiB", "u", "N", "L", "rho", "gamma",
                                                           "left_h", "right_h", "su", "sp"};
    // The kinds of the two ends: "Value", "Gradient" or "Robin".
    static constexpr std::array<const char*, 2> kKindNames{"left_kind", "right_kind"};
    // The layout of the cells ("Uniform", "Geometric", "Two-sided"), a
    // choice as the kinds are, and its ratio, a box as the others are.
    static constexpr const char* kGridName = "grid";
    static constexpr const char* kRatioName = "grid_ratio";

    // A check box "show_NAME" for each of `schemes`, in that order; those
    // `tickedAtStart` says are ticked at start and after Reset.
    InputPanel(std::vector<study::Scheme> schemes, std::function<bool(study::Scheme)> tickedAtStart,
               QWidget* parent = nullptr);

    // Reads every box strictly; a box that cannot be used is marked, with
    // the reason as its tooltip. Nothing, and the reasons in `why`, when any
    // box does not read. A problem that breaks a rule of the steady solve
    // comes back with its box marked and the reason in steadyWhy and `why`:
    // the Time tab may still march it.
    std::optional<Inputs> Read(QString& why);
    std::vector<study::Scheme> Ticked() const;

    QString Text(const char* box) const;
    void SetText(const char* box, const QString& text);
    // An end's kind by name ("value", "gradient", "robin"), or the grid's
    // ("uniform", "geometric", "two-sided"); another name is passed over.
    QString Kind(const char* box) const;
    void SetKind(const char* box, const QString& kind);
    // The ticked schemes by name ("central", "powerlaw").
    QStringList TickedNames() const;
    void SetTicked(const QStringList& names);
    // The default inputs and ticks.
    void Reset();

    // Puts the slider at `pe` without it moving u.
    void ShowPeclet(double pe);

    // The bounded schemes' check boxes down one column (narrower, for large
    // fonts) or two.
    void SetColumns(int columns);

signals:
    // Any input changed, by typing, the slider or a tick.
    void changed();

private:
    QLayout* BuildBoxes();
    void KindChosen(int end);
    void SliderMoved(int value);
    QLineEdit* Box(const char* name) const;
    void BuildGrid();
    void GridChosen();
    // Why the ratio cannot be used for N cells and the finer grids of the
    // Convergence tab ("" when it can); `grid` takes what it reads.
    QString GridReason(study::GridLayout& grid, long N, double L, bool sizeKnown) const;
    // The box a broken rule names, and the title its messages give a box.
    QWidget* BoxOf(const study::Fault& fault, const study::Problem& p) const;
    QString LabelOf(const QWidget* box) const;

    std::array<QLineEdit*, 11> boxes_{};
    std::array<QLabel*, 11> labels_{};
    std::array<QComboBox*, 2> kinds_{};
    QComboBox* grid_ = nullptr;
    QLineEdit* ratio_ = nullptr;
    QFormLayout* form_ = nullptr;
    QSlider* peclet_;
    std::vector<study::Scheme> schemes_;
    std::function<bool(study::Scheme)> tickedAtStart_;
    std::map<study::Scheme, QCheckBox*> show_;
    std::vector<QCheckBox*> bounded_;
    QGridLayout* boundedLayout_ = nullptr;
    bool settingSlider_ = false;
};

// "central", "powerlaw": the names of the settings file and the objectNames.
QString NameOf(study::Scheme s);
// A scheme's look (a stretch of its line and its marker), for its check box
// and table row.
QIcon Swatch(study::Scheme s);

}  // namespace compare
