// The comparison window's menus, presentation mode, and its fit to the
// screen it opens on.
#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QFontInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSplitter>
#include <algorithm>
#include <QStatusBar>
#include <QTableView>

#include "charts/legend_list.hpp"
#include "charts/present.hpp"
#include "compare_window.hpp"
#include "input_panel.hpp"
#include "screen_fit.hpp"
#include "time_tab.hpp"

extern "C" void ilaver_(int* major, int* minor, int* patch);

namespace compare {

namespace {

constexpr const char* kOwnSheet = "ownStyleSheet";

// A style sheet with a font size of `points` added, or the widget's own
// sheet given back; a sheet the widget was given since is left to it.
void SheetFontSize(QWidget* w, bool on, qreal points) {
    const QString sized = w->property(kOwnSheet).toString() + " * { font-size: " + QString::number(points) + "pt; }";
    if (on) {
        if (w->property(kOwnSheet).isValid() && w->styleSheet() == sized) return;
        w->setProperty(kOwnSheet, w->styleSheet());
        w->setStyleSheet(w->styleSheet() + " * { font-size: " + QString::number(points) + "pt; }");
    } else {
        if (w->styleSheet() == sized) w->setStyleSheet(w->property(kOwnSheet).toString());
        w->setProperty(kOwnSheet, QVariant());
    }
}

}  // namespace

void CompareWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->addAction("&Export chart…", QKeySequence::Save, this, &CompareWindow::AskAndExportChart);
    file->addAction("Export &nodes (CSV)…", this, [this] { AskAndExport(true); });
    file->addAction("Export &errors (CSV)…", this, [this] { AskAndExport(false); });
    file->addAction("Export time &history (CSV)…", this, [this] { AskAndExportTime(true); });
    file->addAction("Export time e&rrors (CSV)…", this, [this] { AskAndExportTime(false); });
    file->addAction("Export &handout (PDF)…", this, &CompareWindow::AskAndExportHandout)->setObjectName("exportHandout");
    file->addSeparator();
    file->addAction("&Quit", QKeySequence::Quit, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu("&Edit");
    // Ctrl+C copies the table when it has the focus, the chart otherwise
    // (with its legend list beside it in presentation mode).
    edit->addAction("&Copy chart", QKeySequence::Copy, this, [this] {
        if (table_->hasFocus())
            QApplication::clipboard()->setText(TableText());
        else
            QApplication::clipboard()->setImage(CurrentChartView()->parentWidget()->grab().toImage());
    });
    edit->addAction("Copy &table", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), this,
                    [this] { QApplication::clipboard()->setText(TableText()); });
    edit->addSeparator();
    edit->addAction("&Reset to defaults", this, &CompareWindow::ResetToDefaults);

    QMenu* view = menuBar()->addMenu("&View");
    presentation_ = view->addAction("&Presentation");
    presentation_->setObjectName("presentation");
    presentation_->setCheckable(true);
    presentation_->setShortcut(Qt::Key_F5);
    presentation_->setToolTip("Larger fonts and lines for a projector; the legends beside the charts");
    connect(presentation_, &QAction::toggled, this, &CompareWindow::SetPresentation);

    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction("&About", this, [this] {
        int major = 0, minor = 0, patch = 0;
        ilaver_(&major, &minor, &patch);
        QMessageBox::about(this, "About",
                           QString("<b>Convection-diffusion: compare schemes</b> %1<br><br>"
                                   "Every scheme of the finite-volume course solved side by side against the "
                                   "exact solution.<br><br>Built on Qt %2 (Widgets, Charts, SVG, Concurrent) "
                                   "and LAPACK %3.%4.%5.")
                               .arg(QCoreApplication::applicationVersion(), qVersion())
                               .arg(major)
                               .arg(minor)
                               .arg(patch));
    });
}

// Every text of the window and its charts enlarged, or the window's own
// look given back: the window's font is its parent's again when it had
// none of its own.
void CompareWindow::SetPresentation(bool on) {
    if (presentation_->isChecked() != on) return presentation_->setChecked(on);  // comes back here
    if (on == presenting_) return;
    presenting_ = on;
    const QSize before = size();
    if (on) {
        normalFont_ = testAttribute(Qt::WA_SetFont) ? std::optional<QFont>(font()) : std::nullopt;
        setFont(charts::Enlarged(font()));
    } else {
        setFont(normalFont_.value_or(QFont()));
    }
    // A widget with a style sheet of its own keeps the font it had when the
    // sheet was applied: its sheet names the size while presenting.
    const qreal points = QFontInfo(font()).pointSizeF();
    for (QWidget* w : findChildren<QWidget*>())
        if (!w->styleSheet().isEmpty() || w->property(kOwnSheet).isValid()) SheetFontSize(w, on, points);
    for (QChartView* chartView : findChildren<QChartView*>()) charts::Present(chartView->chart(), on);
    // The legends become lists beside the charts, every name whole.
    for (charts::LegendList* list : findChildren<charts::LegendList*>()) list->SetShown(on);
    inputs_->SetColumns(on ? 1 : 2);
    time_->SetRoomy(on);
    RefitBoxes(this);
    // A combo box sizes itself for its items once, on first show, unless
    // asked to follow its contents: in a new font it asks again.
    for (QComboBox* box : findChildren<QComboBox*>()) box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // The charts take the width the inputs can spare.
    if (auto* main = qobject_cast<QSplitter*>(centralWidget())) {
        const int inputs = main->widget(0)->minimumSizeHint().width();
        main->setSizes({inputs, std::max(1, main->width() - inputs - main->handleWidth())});
    }
    FitTable();
    // A window the larger fonts made larger is brought back within its
    // screen.
    if (size() != before) FitScreen();
    // The widgets take their new sizes, and the charts lay themselves out
    // in them, before anything is drawn.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    for (QChartView* chartView : findChildren<QChartView*>()) charts::LayOutNow(chartView->chart());
}

// The window within the room of its screen, once the frame is known.
void CompareWindow::FitScreen() {
    if (const QScreen* s = screen()) FitOnScreen(this, s->availableGeometry());
}

void CompareWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FitScreen();
}

}  // namespace compare
