#pragma once
// The fixture of every end-to-end test program: the virtual bus as the HID
// backend, the boxes recorded and cleared before each test, every device
// unplugged after it.

#include "RecordingDialogs.h"

#include <QObject>

namespace e2e {

class WindowTest : public QObject {
    Q_OBJECT

protected:
    RecordingDialogs m_dialogs;

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
};

}  // namespace e2e
