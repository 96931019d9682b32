// A chart's legend as a list beside its view: a swatch and the whole name
// of every entry, for presentation mode, where the chart's own legend at
// the right would be given too little of the chart's width for its names.
#pragma once

#include <QListWidget>
#include <QString>

class QChart;
class QChartView;

namespace charts {

class LegendList : public QListWidget {
public:
    explicit LegendList(QChart* chart, QWidget* parent = nullptr);

    // On: the list shown, filled from the chart's legend and kept in step
    // with it, and the chart's own legend hidden. Off: the list hidden and
    // the legend as it was.
    void SetShown(bool on);
    bool Shown() const { return shown_; }

    // The names listed, in the legend's order (each whole, though a long
    // one is shown broken into lines).
    QStringList Names() const;

    // As wide as the widest entry, so that no name is ever cut short.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void changeEvent(QEvent* event) override;

private:
    // The longest line of a name, in letters: longer names are broken.
    static constexpr int kLineLetters = 18;

    void Refill();
    QString Broken(const QString& name) const;
    int Room() const;

    QChart* chart_;
    bool shown_ = false;
    bool legendWasVisible_ = true;
    QString filled_;  // what the list was last filled from
};

// `view` in a pane with its legend list at its right (hidden until shown).
QWidget* WithLegendList(QChartView* view);

}  // namespace charts
