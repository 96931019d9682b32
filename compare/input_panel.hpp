// The comparison window's inputs: the boxes of the problem, the cell Peclet
// number's slider and a check box for each scheme offered, with the strict
// reading and marking of what was typed.
#pragma once

#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "study/study.hpp"

class QCheckBox;
class QLineEdit;
class QSlider;

namespace compare {

// What the boxes and the ticks ask for, once every box reads.
struct Inputs {
    study::Problem problem;
    long N = 0;
    std::vector<study::Scheme> schemes;  // the ticked ones, in the order offered
};

class InputPanel : public QWidget {
    Q_OBJECT

public:
    // The boxes' objectNames, in the panel's order.
    static constexpr std::array<const char*, 7> kBoxNames{"phiA", "phiB", "u", "N", "L", "rho", "gamma"};

    // A check box "show_NAME" for each of `schemes`, in that order; those
    // `tickedAtStart` says are ticked at start and after Reset.
    InputPanel(std::vector<study::Scheme> schemes, std::function<bool(study::Scheme)> tickedAtStart,
               QWidget* parent = nullptr);

    // Reads every box strictly; a box that cannot be used is marked, with
    // the reason as its tooltip. Nothing, and the reasons in `why`, when any
    // box is bad.
    std::optional<Inputs> Read(QString& why);
    std::vector<study::Scheme> Ticked() const;

    QString Text(const char* box) const;
    void SetText(const char* box, const QString& text);
    // The ticked schemes by name ("central", "powerlaw").
    QStringList TickedNames() const;
    void SetTicked(const QStringList& names);
    // The default inputs and ticks.
    void Reset();

    // Puts the slider at `pe` without it moving u.
    void ShowPeclet(double pe);

signals:
    // Any input changed, by typing, the slider or a tick.
    void changed();

private:
    void SliderMoved(int value);
    QLineEdit* Box(const char* name) const;

    std::array<QLineEdit*, 7> boxes_{};
    QSlider* peclet_;
    std::vector<study::Scheme> schemes_;
    std::function<bool(study::Scheme)> tickedAtStart_;
    std::map<study::Scheme, QCheckBox*> show_;
    bool settingSlider_ = false;
};

// "central", "powerlaw": the names of the settings file and the objectNames.
QString NameOf(study::Scheme s);
// A square of a scheme's colour, for its check box and table row.
QIcon Swatch(const QColor& colour);

}  // namespace compare
