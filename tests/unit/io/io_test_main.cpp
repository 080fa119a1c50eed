// The io tests run as the desktop application does: a QCoreApplication on the
// main thread, links opened on the main thread or on a worker.
#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
