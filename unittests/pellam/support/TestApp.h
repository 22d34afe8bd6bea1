#pragma once
// One QApplication per test program, and the program's built-in resources.
#include <QApplication>

#include "ui/testing/TestApp.h"

#include "pellam/res/PellamResources.h"

namespace pellamtest {

inline QApplication& app()
{
    static QApplication* a = [] {
        QApplication* created = &ui::testing::testApp();
        pellam::installBuiltinResources();
        return created;
    }();
    return *a;
}

} // namespace pellamtest
