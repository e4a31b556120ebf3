#include "WindowTest.h"

#include "E2e.h"

namespace e2e {

void WindowTest::initTestCase()
{
    installVirtualBus();
}

void WindowTest::cleanupTestCase()
{
    HIDDevice::exit();
}

void WindowTest::init()
{
    m_dialogs.clear();
}

void WindowTest::cleanup()
{
    sim::VirtualBus::instance().unplugAll();
    QCoreApplication::sendPostedEvents();
}

}  // namespace e2e
