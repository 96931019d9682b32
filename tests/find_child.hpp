// A window's child by objectName and type, failing the test when it is not there.
#pragma once

#include <gtest/gtest.h>

#include <QObject>

template <class W>
W* FindChild(const QObject* window, const char* name) {
    W* w = window->findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}
