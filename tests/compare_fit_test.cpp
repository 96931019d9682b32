// The comparison window on a projector's screen, 1280×720 or 1024×768: every
// input in sight and every number, label and legend whole on every tab, in
// the normal look and in presentation mode; and presentation mode turned
// on, followed by new series, remembered, and turned off to the same look.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenuBar>
#include <QScrollArea>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabWidget>

#include "charts/charts.hpp"
#include "charts/present.hpp"
#include "compare/screen_fit.hpp"
#include "compare/time_tab.hpp"
#include "compare_fixture.hpp"

namespace {

const QSize kScreens[] = {{1280, 720}, {1024, 768}};

void Settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

// The room a line edit gives its text: inside its frame, less the two
// pixels QLineEdit keeps on each side.
int TextRoom(const QLineEdit* box) {
    QStyleOptionFrame option;
    option.initFrom(box);
    option.rect = box->rect();
    option.lineWidth = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box) : 0;
    const QRect inner = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box) - box->textMargins();
    return inner.width() - 4;
}

// Whether `w` is drawn whole: inside each of its ancestors up to the window,
// a scroll area's content once scrolled to.
bool Whole(QWidget* w, QWidget* window) {
    // The whole of it scrolled into sight (ensureWidgetVisible would bring
    // only a line edit's cursor into sight).
    for (QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (auto* scroll = qobject_cast<QScrollArea*>(p)) {
            const QPoint centre = w->mapTo(scroll->widget(), w->rect().center());
            scroll->ensureVisible(centre.x(), centre.y(), w->width() / 2 + 1, w->height() / 2 + 1);
        }
    for (QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget()) {
        const QRect mine(w->mapTo(p, QPoint(0, 0)), w->size());
        if (!p->rect().contains(mine)) return false;
    }
    return true;
}

// The texts a chart draws, visible ones only (Qt Charts cuts a text too
// long for its room short with "...").
QStringList Drawn(QChartView* view) {
    QStringList texts;
    for (QGraphicsItem* item : view->scene()->items())
        if (item->type() == QGraphicsTextItem::Type && item->isVisible())
            texts.append(static_cast<QGraphicsTextItem*>(item)->toPlainText());
    return texts;
}

// Every name in the visible legends, axis label and title whole.
void ExpectChartsWhole(QWidget* window, const std::string& where) {
    for (QChartView* view : window->findChildren<QChartView*>()) {
        if (!view->isVisible()) continue;
        const QStringList drawn = Drawn(view);
        for (const QString& text : drawn)
            EXPECT_FALSE(text.endsWith("...") || text.endsWith(QChar(0x2026)))
                << where << " " << view->objectName().toStdString() << ": " << text.toStdString();
        if (!view->chart()->legend()->isVisible()) continue;
        for (QLegendMarker* marker : view->chart()->legend()->markers()) {
            if (!marker->isVisible()) continue;
            EXPECT_TRUE(drawn.contains(marker->label()))
                << where << " " << view->objectName().toStdString() << ": " << marker->label().toStdString();
        }
    }
}

// Every visible box's text whole, every label whole or wrapped into its
// height, every control drawn whole.
void ExpectWidgetsWhole(QWidget* window, const std::string& where) {
    for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
        if (!box->isVisible() || box->parentWidget()->inherits("QAbstractSpinBox")) continue;
        EXPECT_LE(box->fontMetrics().horizontalAdvance(box->text()), TextRoom(box))
            << where << " " << box->objectName().toStdString() << " \"" << box->text().toStdString() << "\"";
    }
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty() || label->parentWidget()->inherits("QStatusBar")) continue;
        if (label->wordWrap())
            EXPECT_LE(label->heightForWidth(label->width()), label->height()) << where << " " << label->text().toStdString();
        else
            EXPECT_LE(label->sizeHint().width(), label->width()) << where << " " << label->text().toStdString();
    }
    for (QWidget* control : window->findChildren<QWidget*>()) {
        const bool input = qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control) ||
                           qobject_cast<QAbstractButton*>(control) || qobject_cast<QSlider*>(control);
        if (!input || !control->isVisible() || control->objectName().isEmpty() ||
            control->objectName().startsWith("qt_"))
            continue;
        EXPECT_TRUE(Whole(control, window)) << where << " " << control->objectName().toStdString();
    }
}

}  // namespace

class CompareFitTest : public CompareTest {
protected:
    // Every input of the window on show: Robin walls at both ends (their H
    // rows), a stretched grid, every scheme ticked, the widest numbers.
    void ShowEveryInput() {
        for (const char* end : {"left_kind", "right_kind"}) Get<QComboBox>(end)->setCurrentIndex(2);
        Get<QComboBox>("grid")->setCurrentIndex(1);
        for (QCheckBox* check : window_->findChildren<QCheckBox*>())
            if (check->objectName().startsWith("show_")) check->setChecked(true);
        for (const char* box : {"phiA", "phiB", "su", "sp", "grid_ratio"}) Get<QLineEdit>(box)->setText("-2.5e-05");
        Get<QLineEdit>("phiA")->setText("1");
        Get<QLineEdit>("sp")->setText("0");
        Get<QLineEdit>("grid_ratio")->setText("1.05");
        Get<QLineEdit>("N")->setText("40");
        Get<QSlider>("peclet")->setValue(7);  // u with twelve figures
        Get<QLineEdit>("dt")->setText("0.0001");
        Get<QLineEdit>("tEnd")->setText("0.002");
        window_->UpdateNow();
    }

    // The window laid out on a screen of `screen`: its least size fits, and
    // it takes the whole screen.
    void LayOut(QSize screen, const std::string& where) {
        const QSize least = window_->minimumSizeHint().expandedTo(window_->minimumSize());
        EXPECT_LE(least.width(), screen.width()) << where;
        EXPECT_LE(least.height(), screen.height()) << where;
        window_->setGeometry(QRect(QPoint(0, 0), screen));
        Settle();
        EXPECT_EQ(window_->size(), screen) << where;
    }

    void CheckEveryTab(const std::string& look) {
        auto* tabs = window_->Tabs();
        for (QSize screen : kScreens) {
            for (int tab = 0; tab < tabs->count(); ++tab) {
                tabs->setCurrentIndex(tab);
                const std::string where = look + " " + std::to_string(screen.width()) + "x" +
                                          std::to_string(screen.height()) + " " + tabs->tabText(tab).toStdString();
                LayOut(screen, where);
                ExpectWidgetsWhole(window_.get(), where);
                ExpectChartsWhole(window_.get(), where);
            }
        }
    }

    void RunTime() {
        window_->Tabs()->setCurrentWidget(window_->Time());
        window_->Time()->UpdateNow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return window_->Time()->Finished(); }, 30000));
        ASSERT_GT(window_->Time()->FramesReady(), 1);
    }
};

TEST_F(CompareFitTest, EveryInputAndTextIsWholeOnAProjectorBeforeAndAfterATimeRun) {
    ShowEveryInput();
    CheckEveryTab("normal");
    RunTime();
    CheckEveryTab("normal, after a run");
}

// Presentation mode is whole too: the legends as lists beside the charts,
// long titles broken into lines, crowded ticks thinned.
TEST_F(CompareFitTest, PresentationIsWholeOnAProjectorToo) {
    ShowEveryInput();
    window_->SetPresentation(true);
    RunTime();
    CheckEveryTab("presentation");
}

// F5 enlarges every text, the banners' too, and lays the charts out at once
// in the new fonts; turned off, the look is the same as before.
TEST_F(CompareFitTest, PresentationEnlargesEveryTextAndTurnsBackToTheSameLook) {
    auto* action = window_->findChild<QAction*>("presentation");
    ASSERT_NE(action, nullptr);
    EXPECT_TRUE(action->isCheckable());
    EXPECT_EQ(action->shortcut(), QKeySequence(Qt::Key_F5));
    window_->setGeometry(0, 0, 1280, 720);
    Settle();

    // The look before: every chart's fonts and legend place, a pen, the
    // window's font.
    struct Look {
        QFont title, legend, labels, axisTitle;
        Qt::Alignment place;
        const QMetaObject* kind;  // the chart's class, for the next window's charts
    };
    std::map<QChart*, Look> before;
    for (QChartView* view : window_->findChildren<QChartView*>()) {
        QChart* chart = view->chart();
        const QAbstractAxis* axis = chart->axes().value(0);
        ASSERT_NE(axis, nullptr) << view->objectName().toStdString();
        before[chart] = {chart->titleFont(), chart->legend()->font(), axis->labelsFont(), axis->titleFont(),
                         chart->legend()->alignment(), chart->metaObject()};
    }
    auto* solution = static_cast<charts::SolutionChart*>(Get<QChartView>("solutionChart")->chart());
    const qreal pen = solution->SeriesOf(study::Scheme::Central)->pen().widthF();
    const QFont windowFont = window_->font();

    window_->activateWindow();
    QTest::keyClick(window_.get(), Qt::Key_F5);
    ASSERT_TRUE(action->isChecked());
    ASSERT_TRUE(window_->Presenting());
    Settle();
    for (QWidget* w : window_->findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        EXPECT_GE(QFontInfo(w->font()).pointSizeF(), charts::kLeastPresentPoints - 0.5) << w->objectName().toStdString();
    }
    for (auto& [chart, look] : before) {
        EXPECT_TRUE(charts::Presented(chart));
        EXPECT_EQ(chart->legend()->alignment(), Qt::AlignRight);
        EXPECT_GE(chart->legend()->font().pointSizeF(), charts::kLeastPresentPoints);
        EXPECT_GE(chart->titleFont().pointSizeF(), charts::kLeastPresentPoints);
        for (QAbstractAxis* axis : chart->axes()) {
            EXPECT_GE(axis->labelsFont().pointSizeF(), charts::kLeastPresentPoints);
            EXPECT_GE(axis->titleFont().pointSizeF(), charts::kLeastPresentPoints);
        }
    }
    EXPECT_DOUBLE_EQ(solution->SeriesOf(study::Scheme::Central)->pen().widthF(), pen * charts::kPresentScale);
    ExpectChartsWhole(window_.get(), "presentation");

    // A scheme ticked while presenting comes in wide too, once the scene
    // has drawn it.
    Get<QCheckBox>("show_powerlaw")->setChecked(true);
    window_->UpdateNow();
    Settle();
    ASSERT_NE(solution->SeriesOf(study::Scheme::PowerLaw), nullptr);
    EXPECT_DOUBLE_EQ(solution->SeriesOf(study::Scheme::PowerLaw)->pen().widthF(), pen * charts::kPresentScale);

    // Remembered by the next window.
    window_->close();
    window_ = std::make_unique<compare::CompareWindow>();
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    action = window_->findChild<QAction*>("presentation");
    ASSERT_TRUE(action->isChecked());
    EXPECT_TRUE(window_->Presenting());

    // Off: the same look as before, the new window's charts included.
    action->trigger();
    Settle();
    EXPECT_FALSE(window_->Presenting());
    EXPECT_EQ(window_->font(), windowFont);
    for (QChartView* view : window_->findChildren<QChartView*>()) {
        QChart* chart = view->chart();
        const auto it = std::find_if(before.begin(), before.end(), [&](const auto& kv) {
            return kv.second.kind == chart->metaObject();
        });
        ASSERT_NE(it, before.end());
        EXPECT_FALSE(charts::Presented(chart));
        EXPECT_EQ(chart->titleFont(), it->second.title);
        EXPECT_EQ(chart->legend()->font(), it->second.legend);
        EXPECT_EQ(chart->axes().value(0)->labelsFont(), it->second.labels);
        EXPECT_EQ(chart->axes().value(0)->titleFont(), it->second.axisTitle);
    }
    solution = static_cast<charts::SolutionChart*>(Get<QChartView>("solutionChart")->chart());
    EXPECT_DOUBLE_EQ(solution->SeriesOf(study::Scheme::Central)->pen().widthF(), pen);
    EXPECT_DOUBLE_EQ(solution->SeriesOf(study::Scheme::PowerLaw)->pen().widthF(), pen);
}

TEST(ScreenFit, AWindowLargerThanItsScreenIsBroughtWithinIt) {
    QWidget window;
    window.setGeometry(300, 200, 1600, 1000);
    const QRect screen(0, 0, 1024, 768);
    compare::FitOnScreen(&window, screen);
    EXPECT_TRUE(screen.contains(window.frameGeometry())) << window.frameGeometry().x() << "," << window.frameGeometry().y();
    EXPECT_EQ(window.size(), QSize(1024, 768));
    // One that fits keeps its size and is only moved into sight.
    window.setGeometry(900, -50, 400, 300);
    compare::FitOnScreen(&window, screen);
    EXPECT_EQ(window.frameGeometry(), QRect(624, 0, 400, 300));
}

TEST(ScreenFit, ABoxKeepsItsLongestNumberWholeInAnyFont) {
    QWidget parent;
    auto* box = new QLineEdit("-2.5e-05", &parent);
    box->setMaximumWidth(0);
    compare::WidenFor(box);
    box->resize(box->minimumWidth(), box->sizeHint().height());
    EXPECT_LE(box->fontMetrics().horizontalAdvance(box->text()), TextRoom(box));
    parent.setFont(charts::Enlarged(parent.font()));
    compare::RefitBoxes(&parent);
    box->resize(box->minimumWidth(), box->sizeHint().height());
    EXPECT_LE(box->fontMetrics().horizontalAdvance(box->text()), TextRoom(box));
    EXPECT_EQ(box->maximumWidth(), box->minimumWidth());
}
