#pragma once
// The hot-plug notification source below the main window. On Linux: the udev
// monitor of hidraw devices, or, where no udev events arrive, a once-a-second
// comparison of the attached devices; with the virtual bus, its own plug
// events. On Windows the main window receives WM_DEVICECHANGE itself and this
// source stays silent.

#include <QObject>
#include <QString>

#include <memory>

class DeviceWatcher : public QObject {
    Q_OBJECT
public:
    explicit DeviceWatcher(QObject* parent = nullptr);
    ~DeviceWatcher() override;

    // Starts watching; the signal is emitted on the thread that owns the watcher.
    void start();
    // Watches by comparing the backend's device counts every intervalMs, as
    // start() does where no device events can arrive. Never counts while a
    // search runs.
    void startPolling(int intervalMs = 1000);

signals:
    // A HID device interface arrived or left; the path holds "HID", "VID_xxxx"
    // and "PID_xxxx" with the ids in upper-case hexadecimal.
    void deviceInterfaceChanged(const QString& devicePath, bool arrived);

private slots:
    // Emits the plug events the backend raised on its threads.
    void emitPlugEvents();

private:
    // The backend's plug listener: called on whatever thread it raises the event.
    static void forwardPlugEvent(void* context, const char* devicePath, bool arrived);
    struct Private;
    std::unique_ptr<Private> d;
};
