// The main window under test, and a helper that answers its message boxes.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QStringListModel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "find_child.hpp"

#include "app/form1.hpp"

// Answers every message box that opens while it lives, keeping its text.
class MessageBoxCloser {
public:
    MessageBoxCloser() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts.append(box->text());
                box->accept();
            }
        });
        timer_.start(10);
    }
    QStringList texts;

private:
    QTimer timer_;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        previous_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        window_ = std::make_unique<Form1>();
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void TearDown() override {
        window_.reset();
        QDir::setCurrent(previous_);
    }

    template <class W>
    W* Get(const char* name) {
        return FindChild<W>(window_.get(), name);
    }

    // Replaces the text of an input box the way a user does: select all, type.
    void Type(const char* box, const QString& text) {
        QLineEdit* edit = Get<QLineEdit>(box);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
        ASSERT_EQ(edit->text(), text);
    }

    void Choose(const char* option) { QTest::mouseClick(Get<QRadioButton>(option), Qt::LeftButton, {}, QPoint(6, 8)); }

    // A click of Calculate, and the wait for its results file.
    void Calculate() {
        QTest::mouseClick(Get<QPushButton>("Command1"), Qt::LeftButton);
        window_->WaitForResultsFile();
    }

    QStringList Lines() {
        QListView* list = Get<QListView>("List1");
        QStringList lines;
        for (int i = 0; i < list->model()->rowCount(); ++i) lines.append(list->model()->index(i, 0).data().toString());
        return lines;
    }

    QByteArray ResultsFile() {
        QFile f(QDir(dir_.path()).filePath("Results.txt"));
        if (!f.open(QIODevice::ReadOnly)) return {};
        return f.readAll();
    }

    QTemporaryDir dir_;
    QString previous_;
    std::unique_ptr<Form1> window_;
};
