// The entry of the whole-application tests: one QApplication named as the program, numbers in
// the C locale as the program sets them.
#include <gtest/gtest.h>

#include <QApplication>

#include <clocale>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("TSL-USB-KM3");
    QApplication::setOrganizationName("Tessaline Inc.");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
