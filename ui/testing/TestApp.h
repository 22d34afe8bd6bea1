#pragma once
// One QApplication for a test program, made on first use.
#include <QApplication>

namespace ui::testing {

inline QApplication& testApp()
{
    static int argc = 1;
    static char name[] = "unit_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = QApplication::instance() ? static_cast<QApplication*>(QApplication::instance())
                                                      : new QApplication(argc, argv);
    return *a;
}

} // namespace ui::testing
