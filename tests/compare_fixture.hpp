// The comparison window under test, with settings of its own, and the
// helpers that drive it as a student would.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "compare/compare_window.hpp"
#include "find_child.hpp"

class CompareTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
        window_ = std::make_unique<compare::CompareWindow>();
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }

    template <class W>
    W* Get(const char* name) {
        return FindChild<W>(window_.get(), name);
    }

    // Lets the window lay itself out and paint what is pending: the posted
    // layout requests and updates, handled now rather than after a wait.
    static void LayOut() {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }

    void Type(const char* box, const QString& text) {
        QLineEdit* edit = Get<QLineEdit>(box);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        window_->UpdateNow();
    }

    QString Cell(int row, int column) {
        return Get<QTableView>("errors")->model()->index(row, column).data().toString();
    }
    int Rows() { return Get<QTableView>("errors")->model()->rowCount(); }

    QString File(const QString& name) { return QDir(dir_.path()).filePath(name); }
    QByteArray Contents(const QString& name) {
        QFile f(File(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
    }

    // The window's nodes (at N), errors (at N and 2N) and chart (SVG) are
    // the files convdiff-study writes when given `options`: the same
    // problem and schemes.
    void ExpectExportsEqualTheStudys(const QStringList& options) {
        ASSERT_EQ(window_->ExportChart(File("w.svg")), "");
        ASSERT_EQ(window_->ExportNodes(File("w-nodes.csv")), "");
        ASSERT_EQ(window_->ExportErrors(File("w-errors.csv")), "");
        QProcess study;
        study.start(CONVDIFF_STUDY,
                    options + QStringList{"--refine", "0", "--nodes", File("s-nodes.csv"), "--plot", File("s.svg")});
        ASSERT_TRUE(study.waitForFinished(20000));
        ASSERT_EQ(study.exitCode(), 0) << study.readAllStandardError().toStdString();
        study.start(CONVDIFF_STUDY, options + QStringList{"--refine", "1", "--errors", File("s-errors.csv")});
        ASSERT_TRUE(study.waitForFinished(20000));
        ASSERT_EQ(study.exitCode(), 0);
        EXPECT_EQ(Contents("w-nodes.csv"), Contents("s-nodes.csv"));
        EXPECT_EQ(Contents("w-errors.csv"), Contents("s-errors.csv"));
        EXPECT_EQ(Contents("w.svg"), Contents("s.svg"));
    }

    QTemporaryDir dir_;
    std::unique_ptr<compare::CompareWindow> window_;
};
