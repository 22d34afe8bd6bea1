#pragma once
// One QApplication per test program, and the program's built-in resources.
#include <QApplication>

#include "pellam/res/PellamResources.h"

namespace pellamtest {

inline QApplication& app()
{
    static int argc = 1;
    static char name[] = "pellam_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = [] {
        auto* created = QApplication::instance() ? static_cast<QApplication*>(QApplication::instance())
                                                 : new QApplication(argc, argv);
        pellam::installBuiltinResources();
        return created;
    }();
    return *a;
}

} // namespace pellamtest
