// Quillop on Windows: picks the Win32 realisation and runs the launcher.
#include <windows.h>
// The headers that build on windows.h:
#include <commctrl.h>
#include <objbase.h>

#include "app/startup.h"
#include "platform/win32/desktop.h"
#include "platform/win32/instance_mutex.h"
#include "platform/win32/settings_folder.h"
#include "platform/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace qlp;
    using namespace qlp::win32;

    // Taken before anything else, so a second start ends before it touches anything.
    InstanceMutex mutex;
    if (mutex.heldElsewhere()) {
        Win32Platform platform(std::string("-"));
        platform.setPrevInstance(true);
        Launcher app(platform);
        Form_Load(app);
        return 0;
    }

    const std::string folder = perUserFolder();
    importLegacySettings(folder, legacyFolders());
    Win32Platform platform(folder);

    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    // The shell's icon and association functions want a single-threaded apartment.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    {
        Launcher app(platform);
        Desktop desktop(app, platform, instance);
        desktop.dispatch([&] { Form_Load(app); });
        MSG msg;
        while (!app.ended && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (desktop.isDialogMessage(msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    return 0;
}
