#include "form1.hpp"

#include <algorithm>
#include <filesystem>

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QListView>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include "files/whole_file.hpp"
#include "listing_model.hpp"
#include "plot_area.hpp"
#include "results_file.hpp"

namespace {

// Positions and sizes are laid out in twips, 15 to a pixel at 96 dpi.
int Px(int twips) { return (twips + 7) / 15; }

QRect TwipRect(int left, int top, int width, int height) { return {Px(left), Px(top), Px(width), Px(height)}; }

// Widens a caption that the interface font draws wider than the layout
// allows, up to `limit` in its parent, so that no caption is cut off.
void FitWidth(QWidget* w, int limit) {
    const int wanted = w->sizeHint().width();
    if (wanted <= w->width()) return;
    const int right = std::max(w->geometry().right(), std::min(w->x() + wanted, limit) - 1);
    w->resize(right - w->x() + 1, w->height());
}

std::string DecimalSeparator() { return QLocale().decimalPoint().toStdString(); }

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent) {
    setObjectName("Form1");
    setWindowTitle(QString::fromUtf8("Veskarn: Taşınım-yayınım problemi"));
    resize(Px(10215), Px(4590));
    // The layout was drawn for a narrow 8-point interface font; the usual
    // Linux interface fonts are wider and fit it at 10 pixels.
    QFont small = font();
    small.setPixelSize(10);
    setFont(small);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(TwipRect(210, 105, 1935, 4170));

    AddLabel(Frame1, "Label1", QString::fromUtf8("φ"), 525, 315, 105, 255);
    AddLabel(Frame1, "Label4", "A =", 630, 315, 315, 255);
    Text_FiA = AddTextBox(Frame1, "Text_FiA", "1", 1050, 315, 615, 285);
    AddLabel(Frame1, "Label2", QString::fromUtf8("φ"), 525, 630, 105, 255);
    AddLabel(Frame1, "Label3", "B =", 630, 630, 315, 255);
    Text_FiB = AddTextBox(Frame1, "Text_FiB", "0", 1050, 630, 615, 285);
    AddLabel(Frame1, "Label7", "u (m/s) =", 315, 960, 705, 255);
    Text_u = AddTextBox(Frame1, "Text_u", "0.1", 1050, 945, 615, 285);
    AddLabel(Frame1, "Label5", "N =", 630, 1320, 375, 255);
    Text_N = AddTextBox(Frame1, "Text_N", "5", 1050, 1260, 615, 285);
    AddLabel(Frame1, "Label6", "L (m) =", 420, 1575, 510, 255);
    Text_L = AddTextBox(Frame1, "Text_L", "1", 1050, 1575, 615, 285);
    AddLabel(Frame1, "Label8", QString::fromUtf8("ρ"), 105, 1890, 120, 225);
    AddLabel(Frame1, "Label9", "(kg/m3) =", 210, 1890, 780, 255);
    Text_Rho = AddTextBox(Frame1, "Text_Rho", "1", 1050, 1890, 645, 285);
    AddLabel(Frame1, "Label10", QString::fromUtf8("Γ"), 105, 2205, 120, 225);
    AddLabel(Frame1, "Label11", "(kg/ms) =", 210, 2205, 780, 255);
    Text_Gama = AddTextBox(Frame1, "Text_Gama", "0.1", 1050, 2205, 645, 285);

    Opt_Central = AddOption("Opt_Central", "Central Scheme", 120, 2640, 1575, 255);
    Opt_Upwind = AddOption("Opt_Upwind", "Upwind scheme", 120, 3000, 1455, 255);
    Opt_Hibrid = AddOption("Opt_Hibrid", "Hibrid scheme", 120, 3360, 1335, 255);
    Opt_QUICK = AddOption("Opt_QUICK", "QUICK scheme", 105, 3675, 1485, 225);
    Opt_Central->setChecked(true);

    Command1 = new QPushButton("Calculate", this);
    Command1->setObjectName("Command1");
    Command1->setGeometry(TwipRect(2415, 240, 1515, 585));
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);

    // The listing is a view on the calculation's own listing, replaced whole
    // by each calculation and written out line by line as it is shown:
    // 200,000 QUICK lines go in at once, not item by item.
    List1 = new QListView(this);
    List1->setObjectName("List1");
    List1->setGeometry(TwipRect(2400, 930, 3660, 3375));
    listModel_ = new ListingModel(this);
    List1->setModel(listModel_);
    List1->setUniformItemSizes(true);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Long lines (QUICK's seven columns, huge values) scroll sideways rather
    // than being cut short with an ellipsis.
    List1->setTextElideMode(Qt::ElideNone);
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    List1->setLayoutMode(QListView::Batched);
    SetUpListCopying();

    Frame2 = new QGroupBox(this);
    Frame2->setObjectName("Frame2");
    Frame2->setGeometry(TwipRect(6405, 210, 1455, 615));
    AddLabel(Frame2, "Label12", "Pe =", 120, 240, 330, 225);
    Text_Pe = AddTextBox(Frame2, "Text_Pe", "", 540, 240, 645, 285);

    Pic = new PlotArea(this);
    Pic->setObjectName("Pic");
    Pic->setGeometry(TwipRect(6195, 960, 3900, 3315));

    // Keyboard order: the inputs and the button as the original form had
    // them, the option group last.
    QWidget* order[] = {Text_FiA, Text_FiB, Command1, Text_N,  Text_L,     List1,      Text_u,
                        Text_Rho, Text_Gama, Pic,     Text_Pe, Opt_Central, Opt_Upwind, Opt_Hibrid,
                        Opt_QUICK};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    // Return (or Enter) in any input box calculates, as a click would.
    for (QLineEdit* box : {Text_FiA, Text_FiB, Text_u, Text_N, Text_L, Text_Rho, Text_Gama})
        connect(box, &QLineEdit::returnPressed, this, &Form1::Command1_Click);

    // The Greek captions are separate labels; screen readers get the names.
    const std::pair<QWidget*, const char*> names[] = {
        {Text_FiA, "φA"},         {Text_FiB, "φB"},
        {Text_u, "u (m/s)"},      {Text_N, "N"},
        {Text_L, "L (m)"},        {Text_Rho, "ρ (kg/m3)"},
        {Text_Gama, "Γ (kg/ms)"}, {Text_Pe, "Cell Peclet number"},
        {List1, "Coefficients and solution"}, {Pic, "Solution plot"}};
    for (const auto& [widget, name] : names) widget->setAccessibleName(QString::fromUtf8(name));
    Text_FiA->setFocus();
}

// Ctrl+A selects every line (the view's own), Ctrl+C copies the selected
// lines; the context menu has "Copy" and "Copy all".
void Form1::SetUpListCopying() {
    auto* copy = new QAction("Copy", List1);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, [this] { CopyLines(false); });
    auto* copyAll = new QAction("Copy all", List1);
    connect(copyAll, &QAction::triggered, this, [this] { CopyLines(true); });
    List1->addAction(copy);
    List1->addAction(copyAll);
    List1->setContextMenuPolicy(Qt::ActionsContextMenu);
}

// The lines as plain text, one per line, in list order.
void Form1::CopyLines(bool all) {
    QList<int> rows;
    if (all) {
        for (int row = 0; row < listModel_->rowCount(); ++row) rows.append(row);
    } else {
        for (const QModelIndex& index : List1->selectionModel()->selectedRows()) rows.append(index.row());
        std::sort(rows.begin(), rows.end());
    }
    QStringList chosen;
    for (int row : rows) chosen.append(listModel_->Line(row));
    if (chosen.isEmpty()) return;
    QApplication::clipboard()->setText(chosen.join('\n') + '\n');
}

QLabel* Form1::AddLabel(QWidget* parent, const char* name, const QString& caption, int left, int top, int width,
                        int height) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setGeometry(TwipRect(left, top, width, height));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);  // captions hang from the top, as laid out
    FitWidth(label, Px(parent == Frame2 ? 540 : 1050) - 2);  // the text boxes' left edge
    return label;
}

QLineEdit* Form1::AddTextBox(QWidget* parent, const char* name, const QString& text, int left, int top, int width,
                             int height) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    box->setGeometry(TwipRect(left, top, width, height));
    return box;
}

QRadioButton* Form1::AddOption(const char* name, const QString& caption, int left, int top, int width, int height) {
    auto* option = new QRadioButton(caption, Frame1);
    option->setObjectName(name);
    option->setGeometry(TwipRect(left, top, width, height));
    FitWidth(option, Frame1->width() - 4);
    return option;
}

driver::Scheme Form1::SelectedScheme() const {
    if (Opt_Upwind->isChecked()) return driver::Scheme::Upwind;
    if (Opt_Hibrid->isChecked()) return driver::Scheme::Hibrid;
    if (Opt_QUICK->isChecked()) return driver::Scheme::QUICK;
    return driver::Scheme::Central;
}

void Form1::Command1_Click() {
    const driver::InputTexts texts{Text_FiA->text().toStdString(), Text_FiB->text().toStdString(),
                                   Text_u->text().toStdString(),   Text_N->text().toStdString(),
                                   Text_L->text().toStdString(),   Text_Rho->text().toStdString(),
                                   Text_Gama->text().toStdString()};
    driver::Outputs out;
    out.list1.separator = DecimalSeparator();
    out.withResultsText = false;  // written off the window's thread, below
    // Each calculation has a problem state of its own, which the results
    // file's writer keeps for as long as it needs it.
    const auto state = std::make_shared<Mdl_Common::ProblemState>();
    try {
        driver::Calculate(texts, SelectedScheme(), *state, out);
    } catch (const driver::InputError& e) {
        // Rejected before anything was computed: every output stays.
        Report(QString::fromStdString(e.what()));
        return;
    } catch (const std::exception& e) {
        // Failed part-way: show what the calculation got to, then say why.
        ShowOutputs(out);
        Report(QString::fromStdString(e.what()));
        return;
    }
    ShowOutputs(out);
    WriteResultsFile(state);
    Pic->SetModel(out.plot);
}

Form1::~Form1() { writer_.Wait(); }

void Form1::WaitForResultsFile() {
    writer_.Wait();
    QCoreApplication::sendPostedEvents();  // reports a failure, if any
}

// The table of a large calculation takes a while to write out, so the file
// is written on a thread of its own, at a priority that leaves the window
// the processor. Only the newest calculation's table waits to be written:
// one handed over while another is being written replaces any older one
// still waiting, and its state is freed. A failure is reported when it is
// known.
void Form1::WriteResultsFile(std::shared_ptr<const Mdl_Common::ProblemState> state) {
    const std::string separator = DecimalSeparator();
    writer_.Submit([this, state, separator] {
        const QString why = SaveResultsFile(results::ResultsText(*state, separator));
        if (!why.isEmpty()) QMetaObject::invokeMethod(this, [this, why] { Report(why); }, Qt::QueuedConnection);
    });
}

// Takes the listing over from `out` and shows it in one step. A calculation
// that stopped before its scheme began has no listing: the list keeps the
// previous one.
void Form1::ShowOutputs(driver::Outputs& out) {
    if (out.peText) Text_Pe->setText(QString::fromStdString(*out.peText));
    if (out.list1.Size() > 0) listModel_->SetListing(std::move(out.list1));
}

// Writes the table through a temporary file that replaces "Results.txt" only
// once it is complete, so a failure leaves the previous table whole (a
// device or FIFO of that name is written to, not replaced). Returns a
// message for the user, or an empty string on success.
QString Form1::SaveResultsFile(const std::string& text) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(results::kFileName, error);
    const std::string path = error ? std::string(results::kFileName) : absolute.native();
    const std::string why = files::WriteWhole(path, text);
    if (why.empty()) return {};
    return QString("The results could not be written to %1: %2")
        .arg(QFile::decodeName(path.c_str()), QString::fromLocal8Bit(files::Reason(why)));
}

void Form1::Report(const QString& message) {
    QMessageBox::warning(this, windowTitle(), message);
}
