// The main window as people use it: Return calculates, the listing can be
// selected and copied, the plot copied and saved, every box has a name for
// screen readers, and a very large QUICK listing is still exact.
#include <sys/stat.h>
#include <unistd.h>

#include <QClipboard>
#include <QFileInfo>
#include <QImage>
#include <QListView>
#include <QStringListModel>
#include <atomic>
#include <semaphore>

#include "app/plot_area.hpp"
#include "window_fixture.hpp"

namespace {

// Results.txt of central differencing at N control volumes, the other
// inputs at their defaults.
QByteArray CentralTable(const char* N) {
    Mdl_Common::ProblemState state;
    driver::Outputs out;
    driver::InputTexts texts;
    texts.N = N;
    driver::Calculate(texts, driver::Scheme::Central, state, out);
    return QByteArray::fromStdString(*out.resultsText);
}

}  // namespace

TEST_F(WindowTest, ReturnOrEnterInAnyBoxCalculates) {
    const char* boxes[] = {"Text_FiA", "Text_FiB", "Text_u", "Text_N", "Text_L", "Text_Rho", "Text_Gama"};
    int n = 2;
    for (const char* box : boxes) {
        Type("Text_N", QString::number(n));
        QTest::keyClick(Get<QLineEdit>(box), n % 2 ? Qt::Key_Enter : Qt::Key_Return);
        EXPECT_EQ(Lines().size(), 3 + n + 3 + n) << box;
        ++n;
    }
    // The file holds the last calculation's table, N = 8.
    window_->WaitForResultsFile();
    EXPECT_EQ(ResultsFile(), CentralTable("8"));
}

// Clicks faster than the file is written: while one table is being written,
// each new one replaces the one waiting, so two are written, the newest last.
TEST_F(WindowTest, ResultsWriterKeepsOnlyTheNewestTableWaiting) {
    std::atomic<int> written{0};
    std::binary_semaphore holding{0}, released{0};
    window_->ResultsWriter().SetHook([&] {
        if (++written == 1) {
            holding.release();
            released.acquire();
        }
    });
    QTest::mouseClick(Get<QPushButton>("Command1"), Qt::LeftButton);
    holding.acquire();  // the first table is being written, held
    for (int n = 2; n <= 40; ++n) {
        Type("Text_N", QString::number(n));
        QTest::mouseClick(Get<QPushButton>("Command1"), Qt::LeftButton);
    }
    released.release();
    window_->WaitForResultsFile();
    EXPECT_EQ(written, 2);
    EXPECT_EQ(ResultsFile(), CentralTable("40"));
}

// A FIFO that no one reads holds neither the window nor its closing.
TEST_F(WindowTest, ResultsFileThatIsAFifoWithNoReaderIsReported) {
    const QString results = QDir(dir_.path()).filePath("Results.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(results).constData(), 0600), 0);
    ::alarm(60);  // a writer waiting for a reader would wait for ever
    MessageBoxCloser closer;
    Calculate();
    ::alarm(0);
    ASSERT_EQ(closer.texts.size(), 1);
    EXPECT_EQ(closer.texts[0], "The results could not be written to " + results + ": No such device or address");
    EXPECT_TRUE(QFileInfo(results).isFile() == false && QFileInfo::exists(results));
}

TEST_F(WindowTest, SelectedLinesAreCopiedInListOrder) {
    Calculate();
    QListView* list = Get<QListView>("List1");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), Lines().join('\n') + '\n');

    // Rows picked out of order come back in list order.
    list->selectionModel()->clearSelection();
    for (int row : {11, 3}) list->selectionModel()->select(list->model()->index(row, 0), QItemSelectionModel::Select);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), Lines()[3] + '\n' + Lines()[11] + '\n');

    // The context menu's actions.
    QStringList names;
    for (QAction* action : list->actions()) names.append(action->text());
    EXPECT_EQ(names, (QStringList{"Copy", "Copy all"}));
    list->actions().at(1)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), Lines().join('\n') + '\n');
}

TEST_F(WindowTest, PlotSavedAsPngAndSvgAndUnwritablePathSaysWhy) {
    Calculate();
    PlotArea* pic = Get<PlotArea>("Pic");
    const QString png = QDir(dir_.path()).filePath("plot.png"), svg = QDir(dir_.path()).filePath("plot.svg");
    EXPECT_EQ(pic->SaveImage(png, QSize(520, 440)), "");
    const QImage image(png);
    ASSERT_EQ(image.size(), QSize(520, 440));
    bool red = false, blue = false;  // the solution's circles and the exact curve
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            red |= image.pixelColor(x, y) == QColor(255, 0, 0);
            blue |= image.pixelColor(x, y) == QColor(0, 0, 255);
        }
    EXPECT_TRUE(red && blue);

    EXPECT_EQ(pic->SaveImage(svg, pic->contentsRect().size()), "");
    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("<svg") && text.contains("#ff0000") && text.contains("#0000ff"));

    const QString bad = QDir(dir_.path()).filePath("no/such/folder/plot.png");
    const QString why = pic->SaveImage(bad, QSize(100, 100));
    EXPECT_TRUE(why.startsWith("The plot could not be saved to " + bad + ": ")) << why.toStdString();
    EXPECT_FALSE(QFile::exists(bad));
}

TEST_F(WindowTest, EveryBoxHasAnAccessibleName) {
    const std::pair<const char*, const char*> names[] = {{"Text_FiA", "φA"},
                                                         {"Text_FiB", "φB"},
                                                         {"Text_u", "u (m/s)"},
                                                         {"Text_N", "N"},
                                                         {"Text_L", "L (m)"},
                                                         {"Text_Rho", "ρ (kg/m3)"},
                                                         {"Text_Gama", "Γ (kg/ms)"},
                                                         {"Text_Pe", "Cell Peclet number"},
                                                         {"List1", "Coefficients and solution"},
                                                         {"Pic", "Solution plot"}};
    for (const auto& [name, accessible] : names)
        EXPECT_EQ(Get<QWidget>(name)->accessibleName(), QString::fromUtf8(accessible)) << name;
}

// 200,000 lines and 200,000 shapes: the listing is written line by line as
// it is shown, the plot drawn off the window's thread, to the same pixels.
TEST_F(WindowTest, LargeQuickCalculationIsExactInListAndPlot) {
    Type("Text_N", "100000");
    Choose("Opt_QUICK");
    Calculate();
    Mdl_Common::ProblemState state;
    driver::Outputs out;
    driver::InputTexts texts;
    texts.N = "100000";
    driver::Calculate(texts, driver::Scheme::QUICK, state, out);
    const QStringList lines = Lines();
    ASSERT_EQ(lines.size(), 3 + 100000 + 3 + 100000);
    EXPECT_EQ(lines[3], QString::fromStdString(out.list1.Lines()[3]));
    EXPECT_EQ(lines[100002], QString::fromStdString(out.list1.Lines()[100002]));
    EXPECT_EQ(lines.last(), " Phi(100000) = 0");

    PlotArea* pic = Get<PlotArea>("Pic");
    pic->WaitUntilDrawn();
    const QImage shown = pic->grab(pic->contentsRect()).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, pic->Image(pic->contentsRect().size()));
}
