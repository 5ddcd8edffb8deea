// The main of every test program that needs Qt's application object: the event loop the session
// runs on, and for images and widgets a GUI application. The platform is always the offscreen one,
// so the tests run without a display, also when ctest lists them at build time.
#include <gtest/gtest.h>

#if defined(VESPERA_TEST_WIDGETS)
#include <QApplication>
using TestApplication = QApplication;
#elif defined(VESPERA_TEST_GUI)
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
