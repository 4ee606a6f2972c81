// Quillop on Windows: picks the Win32 realisation and runs the launcher.
#include <windows.h>

#include "app/startup.h"
#include "platform/win32/desktop.h"
#include "platform/win32/instance_mutex.h"
#include "platform/win32/main_window.h"
#include "platform/win32/on_demand.h"
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

    {
        Launcher app(platform);
        // The window comes up with the front page's pictures; the others follow.
        app.deferOffPageIcons = true;
        Desktop desktop(app, platform, instance);
        desktop.dispatch([&] { Form_Load(app); });
        // Queued behind the first paint: what the first sight of the window does not need.
        ::PostMessageW(desktop.mainWindow().handle(), kAfterStartMessage, 0, 0);
        MSG msg;
        while (!app.ended && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (desktop.isDialogMessage(msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    onDemand::leaveCom();
    return 0;
}
