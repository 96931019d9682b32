// The Time tab's exports in the background: the window goes on while one
// is made, a cancel (its button, a newer export, closing the window) leaves
// neither the file nor a temporary, and a failure says the file and why.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QThreadPool>
#include <QTimer>

#include "compare/time_tab.hpp"
#include "compare_fixture.hpp"

namespace {

class TimeExportTest : public CompareTest {
protected:
    void SetUp() override {
        CompareTest::SetUp();
        window_->Tabs()->setCurrentWidget(window_->Time());
        for (const auto& [name, text] : {std::pair{"N", "60"}, {"u", "0.5"}, {"dt", "0.02"}, {"tEnd", "1"}})
            Get<QLineEdit>(name)->setText(text);
        window_->UpdateNow();
        Tab().UpdateNow();
        ASSERT_NE(Tab().Plan(), nullptr);
        ASSERT_TRUE(QDir(dir_.path()).mkdir("out"));
    }
    compare::TimeTab& Tab() { return *window_->Time(); }
    compare::ExportJob& Job() { return Tab().Exporting().Job(); }
    QString Out(const QString& name) { return File("out/" + name); }
    // Everything in the exports' directory, hidden files too.
    QStringList Listed() {
        return QDir(File("out")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
    }
    QString Exported(const QString& path) {
        QSignalSpy ended(&Tab().Exporting(), &compare::TimeExport::finished);
        const QString why = Tab().ExportHistory(path);
        if (!why.isEmpty()) return why;
        return ended.wait(30000) ? ended.takeFirst().at(1).toString() : QString("(the export did not end)");
    }
};

}  // namespace

TEST_F(TimeExportTest, TheWindowGoesOnWhileAnExportIsHeldAndACancelLeavesNothing) {
    ASSERT_EQ(Exported(Out("whole.csv")), "");
    const QByteArray whole = Read(Out("whole.csv"));
    ASSERT_TRUE(QFile::remove(Out("whole.csv")));

    enum class Way { Button, NewerExport, Close };
    for (Way way : {Way::Button, Way::NewerExport, Way::Close}) {
        SCOPED_TRACE(int(way));
        Job().Hold(true);  // the worker waits after its first frame
        QSignalSpy ended(&Tab().Exporting(), &compare::TimeExport::finished);
        ASSERT_EQ(Tab().ExportHistory(Out("held.csv")), "");
        ASSERT_TRUE(QTest::qWaitFor([&] { return Job().WorkerHeld(); }, 10000));
        // The export waits; the window's thread goes on turning its events.
        bool turned = false;
        QTimer::singleShot(0, window_.get(), [&] { turned = true; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return turned; }, 10000));
        EXPECT_TRUE(Get<QWidget>("exportProgress")->isVisible());
        EXPECT_EQ(Listed().size(), 1);  // the temporary, the file not yet in place
        EXPECT_FALSE(Listed().contains("held.csv"));

        if (way == Way::Button) QTest::mouseClick(Get<QPushButton>("cancelExport"), Qt::LeftButton);
        if (way == Way::NewerExport) {
            ASSERT_EQ(Tab().ExportHistory(Out("newer.csv")), "");
        }
        if (way == Way::Close) window_->close();
        Job().Hold(false);
        if (way == Way::NewerExport) {
            ASSERT_TRUE(ended.count() == 1 || ended.wait(30000));
        }
        // Every worker done, the cancelled one too, and what they sent here.
        ASSERT_TRUE(QThreadPool::globalInstance()->waitForDone(30000));
        QCoreApplication::processEvents();
        if (way == Way::NewerExport) {
            ASSERT_EQ(ended.count(), 1);  // the newer one's; the held one says nothing
            EXPECT_EQ(ended.at(0).at(0).toString(), Out("newer.csv"));
            EXPECT_EQ(Listed(), QStringList{"newer.csv"});
            EXPECT_EQ(Read(Out("newer.csv")), whole);
            ASSERT_TRUE(QFile::remove(Out("newer.csv")));
        } else {
            EXPECT_EQ(ended.count(), 0);
            EXPECT_EQ(Listed(), QStringList{});
        }
        EXPECT_FALSE(Get<QWidget>("exportProgress")->isVisible());
    }
}

TEST_F(TimeExportTest, AFailureSaysTheFileAndTheSystemsReasonWithoutHoldingTheWindow) {
    const QString path = File("none/h.csv");
    EXPECT_EQ(Exported(path), "cannot write " + path + ": No such file or directory");
    auto* box = window_->findChild<QMessageBox*>("exportFailed");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().endsWith(path + ": No such file or directory"));
    box->close();
    // Inputs that cannot be marched are said at once; nothing is started.
    Get<QLineEdit>("dt")->setText("-1");
    EXPECT_EQ(Tab().ExportHistory(Out("h.csv")), "Δt must be above 0");
    EXPECT_FALSE(Job().Busy());
}
