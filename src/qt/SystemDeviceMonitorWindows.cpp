#include "qt/SystemDeviceMonitor.h"

#include <QMetaObject>

// First: the interface classes' GUIDs are then defined here, not only declared.
#include <initguid.h>

#include <windows.h>

#include <dbt.h>

namespace {

const wchar_t kWindowClass[] = L"Px417SerialPortNotices";

LRESULT CALLBACK onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DEVICECHANGE &&
        (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE)) {
        auto* monitor =
            reinterpret_cast<SystemDeviceMonitor*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        // After this message: the window's handlers open and close ports and show boxes.
        if (monitor)
            QMetaObject::invokeMethod(monitor, &DeviceMonitor::devicesChanged,
                                      Qt::QueuedConnection);
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

// A message-only window, which the event loop of the window's thread serves, and its
// registrations for the two interface classes that serial port drivers announce.
struct SystemDeviceMonitor::Watch {
    ~Watch() {
        for (HDEVNOTIFY notice : notices)
            UnregisterDeviceNotification(notice);
        if (window)
            DestroyWindow(window);
    }

    HWND window = nullptr;
    HDEVNOTIFY notices[2] = {};
};

SystemDeviceMonitor::SystemDeviceMonitor(const QString& portsFolder, QObject* parent)
    : DeviceMonitor(parent), m_watch(std::make_unique<Watch>()) {
    Q_UNUSED(portsFolder);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = onMessage;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    // A second monitor finds the class registered already.
    RegisterClassExW(&windowClass);
    m_watch->window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      instance, nullptr);
    if (!m_watch->window)
        return;
    SetWindowLongPtrW(m_watch->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    const GUID classes[] = {GUID_DEVINTERFACE_COMPORT, GUID_DEVINTERFACE_SERENUM_BUS_ENUMERATOR};
    for (int i = 0; i < 2; ++i) {
        DEV_BROADCAST_DEVICEINTERFACE_W filter{};
        filter.dbcc_size = sizeof filter;
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_classguid = classes[i];
        m_watch->notices[i] =
            RegisterDeviceNotificationW(m_watch->window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
    m_devicesWatched = m_watch->notices[0] != nullptr;
}

SystemDeviceMonitor::~SystemDeviceMonitor() = default;
