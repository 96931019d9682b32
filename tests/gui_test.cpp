// The window driven as a user drives it: controls found by name, text typed
// with simulated keys, Calculate clicked with the mouse, message boxes read
// and closed. Runs on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <unistd.h>

#include "app/form1.hpp"
#include "app/plot_area.hpp"
#include "window_fixture.hpp"

namespace {

const QStringList kDefaultCentral{" ",
                                  " aW    aE   Sp   aP   Su",
                                  " ",
                                  "0.00   -0.45   -1.10   1.55   1.10",
                                  "-0.55   -0.45   0.00   1.00   0.00",
                                  "-0.55   -0.45   0.00   1.00   0.00",
                                  "-0.55   -0.45   0.00   1.00   0.00",
                                  "-0.55   0.00   -0.90   1.45   0.00",
                                  " ",
                                  "Solution",
                                  " ",
                                  " Phi(1) = 0.9421",
                                  " Phi(2) = 0.8006",
                                  " Phi(3) = 0.6276",
                                  " Phi(4) = 0.4163",
                                  " Phi(5) = 0.1579"};

}  // namespace

TEST_F(WindowTest, OpensWithItsControlsCaptionsAndInitialValues) {
    EXPECT_EQ(window_->windowTitle(), QString::fromUtf8("Veskarn: Taşınım-yayınım problemi"));
    EXPECT_EQ(window_->size(), QSize(681, 306));
    const std::pair<const char*, const char*> texts[] = {{"Text_FiA", "1"}, {"Text_FiB", "0"}, {"Text_u", "0.1"},
                                                         {"Text_N", "5"},   {"Text_L", "1"},   {"Text_Rho", "1"},
                                                         {"Text_Gama", "0.1"}, {"Text_Pe", ""}};
    for (const auto& [name, text] : texts) EXPECT_EQ(Get<QLineEdit>(name)->text(), text) << name;
    const std::pair<const char*, const char*> captions[] = {
        {"Label1", "φ"},          {"Label4", "A ="},      {"Label2", "φ"},       {"Label3", "B ="},
        {"Label7", "u (m/s) ="},  {"Label5", "N ="},      {"Label6", "L (m) ="}, {"Label8", "ρ"},
        {"Label9", "(kg/m3) ="},  {"Label10", "Γ"},       {"Label11", "(kg/ms) ="}, {"Label12", "Pe ="}};
    for (const auto& [name, caption] : captions) EXPECT_EQ(Get<QLabel>(name)->text(), QString::fromUtf8(caption)) << name;
    EXPECT_EQ(Get<QRadioButton>("Opt_Central")->text(), "Central Scheme");
    EXPECT_EQ(Get<QRadioButton>("Opt_Upwind")->text(), "Upwind scheme");
    EXPECT_EQ(Get<QRadioButton>("Opt_Hibrid")->text(), "Hibrid scheme");
    EXPECT_EQ(Get<QRadioButton>("Opt_QUICK")->text(), "QUICK scheme");
    EXPECT_TRUE(Get<QRadioButton>("Opt_Central")->isChecked());
    EXPECT_EQ(Get<QPushButton>("Command1")->text(), "Calculate");
    EXPECT_EQ(Get<QListView>("List1")->model()->rowCount(), 0);
    EXPECT_FALSE((Get<PlotArea>("Pic")->Model() != nullptr));

    // Twips at 15 to the pixel, each control inside its container.
    EXPECT_EQ(Get<QGroupBox>("Frame1")->geometry(), QRect(14, 7, 129, 278));
    EXPECT_EQ(Get<QLineEdit>("Text_FiA")->geometry(), QRect(70, 21, 41, 19));
    EXPECT_EQ(Get<QLineEdit>("Text_Gama")->geometry(), QRect(70, 147, 43, 19));
    EXPECT_EQ(Get<QPushButton>("Command1")->geometry(), QRect(161, 16, 101, 39));
    EXPECT_EQ(Get<QListView>("List1")->geometry(), QRect(160, 62, 244, 225));
    EXPECT_EQ(Get<QGroupBox>("Frame2")->geometry(), QRect(427, 14, 97, 41));
    EXPECT_EQ(Get<QLineEdit>("Text_Pe")->geometry(), QRect(36, 16, 43, 19));
    EXPECT_EQ(Get<PlotArea>("Pic")->geometry(), QRect(413, 64, 260, 221));
    EXPECT_EQ(Get<QRadioButton>("Opt_QUICK")->parentWidget()->objectName(), "Frame1");
    EXPECT_EQ(Get<QLabel>("Label12")->parentWidget()->objectName(), "Frame2");

    // No caption is cut off, and none runs into a text box.
    for (QLabel* label : window_->findChildren<QLabel*>())
        EXPECT_GE(label->width(), label->sizeHint().width() - 1) << label->objectName().toStdString();
    for (QRadioButton* option : window_->findChildren<QRadioButton*>())
        EXPECT_GE(option->width(), option->sizeHint().width()) << option->objectName().toStdString();
    EXPECT_LE(Get<QLabel>("Label9")->geometry().right(), Get<QLineEdit>("Text_Rho")->x());
}

TEST_F(WindowTest, FocusStartsInTheFirstInputAndFollowsTheTabOrder) {
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    ASSERT_EQ(QApplication::focusWidget(), Get<QLineEdit>("Text_FiA"));
    QStringList visited;
    for (int i = 0; i < 13; ++i) {
        visited.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited, (QStringList{"Text_FiA", "Text_FiB", "Command1", "Text_N", "Text_L", "List1", "Text_u",
                                    "Text_Rho", "Text_Gama", "Pic", "Text_Pe", "Opt_Central", "Text_FiA"}));
}

TEST_F(WindowTest, CalculateAtOnceUsesTheDefaults) {
    Calculate();
    EXPECT_EQ(Get<QLineEdit>("Text_Pe")->text(), "0.2");
    EXPECT_EQ(Lines(), kDefaultCentral);
    // The file holds exactly the table the core produced.
    Mdl_Common::ProblemState state;
    driver::Outputs out;
    driver::Calculate({}, driver::Scheme::Central, state, out);
    EXPECT_EQ(ResultsFile(), QByteArray::fromStdString(*out.resultsText));
    EXPECT_TRUE((Get<PlotArea>("Pic")->Model() != nullptr));
}

TEST_F(WindowTest, NumbersAreWrittenWithTheLocaleSeparator) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Calculate();
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(Get<QLineEdit>("Text_Pe")->text(), "0,2");
    EXPECT_EQ(Lines()[3], "0,00   -0,45   -1,10   1,55   1,10");
    EXPECT_EQ(Lines().last(), " Phi(5) = 0,1579");
    EXPECT_TRUE(ResultsFile().contains("\r\n 2   -1,  -000,  000,  001,  001,  000,80\r\n"));
    // Input is read with "." whatever the locale.
    Type("Text_u", "0,5");
    Calculate();
    EXPECT_EQ(Get<QLineEdit>("Text_Pe")->text(), "0");
}

TEST_F(WindowTest, TypedInputsAndEveryScheme) {
    Type("Text_u", "2.5");
    Choose("Opt_Upwind");
    EXPECT_FALSE(Get<QRadioButton>("Opt_Central")->isChecked());
    Calculate();
    EXPECT_EQ(Get<QLineEdit>("Text_Pe")->text(), "5");
    EXPECT_EQ(Lines()[4], "-3.00   -0.50   0.00   3.50   0.00");
    EXPECT_EQ(Lines().last(), " Phi(5) = 0.7143");
    EXPECT_TRUE(ResultsFile().endsWith(" 5   -3.  000.  -001.  004.  001.  000.71\r\n"));
    EXPECT_EQ(Get<PlotArea>("Pic")->Model()->shapes.size(), 2u + 5u + 4u + 99u);

    Choose("Opt_Hibrid");
    Calculate();
    EXPECT_EQ(Lines()[3], "0.00   0.00   -3.50   3.50   3.50");
    EXPECT_EQ(Lines().mid(11), (QStringList{" Phi(1) = 1", " Phi(2) = 1", " Phi(3) = 1", " Phi(4) = 1",
                                            " Phi(5) = 0.7143"}));
    EXPECT_TRUE(ResultsFile().startsWith(" i    AW    AP   AE   Su   T\r\n\r\n 1   0.  000.  -004.  004.  001.  001.00\r\n"));
    EXPECT_NEAR(Get<PlotArea>("Pic")->Model()->tMax, 1.0, 1e-12);

    Type("Text_u", "2");
    Type("Text_N", "4");
    Type("Text_FiB", "2");
    Type("Text_Gama", "0.75");
    Choose("Opt_QUICK");
    Calculate();
    EXPECT_EQ(Get<QLineEdit>("Text_Pe")->text(), "0.67");
    EXPECT_EQ(Lines()[1], " aWW   aW    aE   aEE   Sp   aP   Su");
    EXPECT_EQ(Lines()[5], "0.250   -4.750   -2.250   0.000   0.000   6.750   0.000   ");
    EXPECT_EQ(Lines().last(), " Phi(4) = 0");
    EXPECT_TRUE(ResultsFile().endsWith(" 4   -6.  000.  -006.  011.  012.  000.00\r\n"));
    EXPECT_EQ(Get<PlotArea>("Pic")->Model()->tMax, 0);

    // Back to central with fewer nodes: nothing of the QUICK run is shown.
    Choose("Opt_Central");
    Type("Text_N", "2");
    Calculate();
    EXPECT_EQ(Lines().size(), 3 + 2 + 3 + 2);
    EXPECT_EQ(ResultsFile().count("\r\n"), 4);
}

TEST_F(WindowTest, BadInputIsReportedAndTheWindowCarriesOn) {
    Calculate();
    const QByteArray table = ResultsFile();
    {
        MessageBoxCloser closer;
        Type("Text_N", "0");
        Calculate();
        Type("Text_N", "1e999");
        Calculate();
        Type("Text_N", "5");
        Type("Text_Gama", "");
        Calculate();
        EXPECT_EQ(closer.texts,
                  (QStringList{"N must be at least 1: it is the number of control volumes.",
                               "The number typed for N is too large to calculate with.",
                               QString::fromUtf8("Γ must not be 0: the diffusion conductance D would be 0 and "
                                                 "Pe = F/D undefined.")}));
    }
    // Nothing was touched by the refused calculations.
    EXPECT_EQ(Lines(), kDefaultCentral);
    EXPECT_EQ(ResultsFile(), table);

    // A failure part-way shows the listing it reached and the reason.
    {
        MessageBoxCloser closer;
        Type("Text_Gama", "0.1");
        Type("Text_N", "4.6");
        Calculate();
        EXPECT_EQ(closer.texts,
                  QStringList{"Division by zero in the tridiagonal solver at row 5 (zero divided by zero)."});
    }
    EXPECT_EQ(Lines().size(), 7);
    EXPECT_EQ(Get<QLineEdit>("Text_Pe")->text(), "0.22");
    EXPECT_EQ(ResultsFile(), table);

    // And the next calculation works.
    Type("Text_N", "3");
    Calculate();
    EXPECT_EQ(Lines().size(), 3 + 3 + 3 + 3);
    EXPECT_EQ(ResultsFile().count("\r\n"), 5);
}

TEST_F(WindowTest, ResultsFileIsReplacedWholeNotRewrittenInPlace) {
    Calculate();
    const QByteArray first = ResultsFile();
    // A second name for the file as it is now: rewriting in place would
    // change what it shows, replacing the file by a complete new one does not.
    const QString results = QDir(dir_.path()).filePath("Results.txt");
    const QString kept = QDir(dir_.path()).filePath("kept.txt");
    ASSERT_EQ(::link(QFile::encodeName(results).constData(), QFile::encodeName(kept).constData()), 0);
    Type("Text_N", "12");
    Calculate();
    EXPECT_EQ(ResultsFile().count("\r\n"), 14);
    QFile old(kept);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), first);
}

TEST_F(WindowTest, UnwritableResultsFileIsReportedAndThePlotStillDrawn) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("Results.txt"));
    MessageBoxCloser closer;
    Calculate();
    ASSERT_EQ(closer.texts.size(), 1);
    EXPECT_TRUE(closer.texts[0].startsWith("The results could not be written to " +
                                           QDir(dir_.path()).filePath("Results.txt") + ": "))
        << closer.texts[0].toStdString();
    EXPECT_TRUE((Get<PlotArea>("Pic")->Model() != nullptr));
    EXPECT_EQ(Lines(), kDefaultCentral);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{});  // no stray temporary file
}

TEST_F(WindowTest, PlotIsPaintedWhereTheModelPutsIt) {
    Type("Text_u", "2.5");  // Pe = 5: the central solution wiggles away from the exact curve
    Calculate();
    PlotArea* pic = Get<PlotArea>("Pic");
    const QImage image = pic->grab().toImage();
    auto near = [&](QPointF p, QColor colour) {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (image.pixelColor(qRound(p.x()) + dx, qRound(p.y()) + dy) == colour) return true;
        return false;
    };
    const plot::PlotModel& m = *pic->Model();
    EXPECT_EQ(image.pixelColor(5, 5), QColor(255, 255, 192));
    EXPECT_EQ(image.pixelColor(pic->width() - 5, 5), QColor(255, 255, 192));
    // The top of the third marker, round on screen with the radius measured
    // horizontally; the middle of the red segment from node 3 to node 4; the
    // exact curve near x = 0.25; the horizontal axis.
    const plot::Shape& marker = m.shapes[4];
    const double radius = pic->ToPixels(marker.x1 + marker.radius, 0).x() - pic->ToPixels(marker.x1, 0).x();
    EXPECT_GT(radius, 2.0);
    EXPECT_TRUE(near(pic->ToPixels(marker.x1, marker.y1) - QPointF(0, radius), Qt::red));
    EXPECT_TRUE(near(pic->ToPixels(marker.x1, marker.y1) + QPointF(radius, 0), Qt::red));
    const plot::Shape& segment = m.shapes[9];
    EXPECT_TRUE(near(pic->ToPixels((segment.x1 + segment.x2) / 2, (segment.y1 + segment.y2) / 2), Qt::red));
    EXPECT_TRUE(near(pic->ToPixels(m.xExact[25], m.fiExact[25]), Qt::blue));
    EXPECT_TRUE(near(pic->ToPixels(0.5, 0), Qt::black));

    // The picture survives being hidden and shown again.
    window_->hide();
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    EXPECT_EQ(pic->grab().toImage(), image);
    image.save(QDir(previous_).filePath("plot_after_calculation.png"));
}

TEST_F(WindowTest, PlotAtAnyFiniteMagnitudeIsThePictureAtOneScaled) {
    PlotArea* pic = Get<PlotArea>("Pic");
    Calculate();
    const QImage atOne = pic->Image(pic->contentsRect().size());
    for (const char* phiA : {"1D39", "1E300", "1E-300"}) {
        Type("Text_FiA", phiA);
        Calculate();
        EXPECT_EQ(pic->Image(pic->contentsRect().size()), atOne) << phiA;
    }
}

// A Results.txt that is a link to a device is written to, never replaced;
// a full device is reported in the system's words.
TEST_F(WindowTest, ResultsFileThatIsADeviceIsWrittenToNotReplaced) {
    const QString results = QDir(dir_.path()).filePath("Results.txt");
    ASSERT_TRUE(QFile::link("/dev/full", results));
    MessageBoxCloser closer;
    Calculate();
    ASSERT_EQ(closer.texts.size(), 1);
    EXPECT_EQ(closer.texts[0], "The results could not be written to " + results + ": No space left on device");
    EXPECT_EQ(QFileInfo(results).symLinkTarget(), "/dev/full");

    ASSERT_TRUE(QFile::remove(results));
    ASSERT_TRUE(QFile::link("/dev/null", results));
    Calculate();
    EXPECT_EQ(closer.texts.size(), 1);
    EXPECT_EQ(QFileInfo(results).symLinkTarget(), "/dev/null");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::System), QStringList{"Results.txt"});
}
