// The comparison window under test, with settings of its own, and the
// helpers that drive it as a student would.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
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

    QTemporaryDir dir_;
    std::unique_ptr<compare::CompareWindow> window_;
};
