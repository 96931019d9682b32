// The comparison window with its Time tab on show: the inputs of a run set
// in one go, and a run waited for until it has ended.
#pragma once

#include <QCoreApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <initializer_list>
#include <utility>

#include "compare/time_tab.hpp"
#include "compare_fixture.hpp"

class TimeTabTest : public CompareTest {
protected:
    void SetUp() override {
        CompareTest::SetUp();
        window_->Tabs()->setCurrentWidget(window_->Time());
    }
    compare::TimeTab& Tab() { return *window_->Time(); }
    // The inputs of a run: the window's boxes, then the tab's.
    void Set(std::initializer_list<std::pair<const char*, QString>> boxes) {
        for (const auto& [name, text] : boxes) Get<QLineEdit>(name)->setText(text);
        window_->UpdateNow();
        Tab().UpdateNow();
    }
    void Finish() {
        ASSERT_TRUE(QTest::qWaitFor([&] { return Tab().Finished(); }, 30000));
        QCoreApplication::processEvents();
    }
};
