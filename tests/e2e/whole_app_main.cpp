// The entry of the whole-application tests: one QApplication named as the program, numbers in
// the C locale as the program sets them, precedence over other work on the machine.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/startup.h"
#include "tests/e2e/precedence.h"

int main(int argc, char** argv)
{
    // Before any thread is started, so that every one of them inherits it.
    e2e::TakePrecedenceOverOtherWork();
    QApplication application(argc, argv);
    app::NameApplicationAndKeepCNumbers();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
