#include "platform/linux/services/desktop_entry.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gio/gdesktopappinfo.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/linux/services/process_start.h"

namespace qlp::linux_desktop {

namespace {

// GIO starts the application in the process's working directory; there is no
// argument for it, so we stand in `directory` while it does.
class WorkingDirectoryScope {
public:
    explicit WorkingDirectoryScope(const std::string& directory) {
        if (directory.empty()) return;
        saved_ = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (saved_ >= 0 && ::chdir(directory.c_str()) != 0) {
            ::close(saved_);
            saved_ = -1;
        }
    }
    ~WorkingDirectoryScope() {
        if (saved_ < 0) return;
        // The directory held open cannot go away, so the change back does
        // not fail; there would be nowhere better to go if it did.
        [[maybe_unused]] const int back = ::fchdir(saved_);
        ::close(saved_);
    }
    WorkingDirectoryScope(const WorkingDirectoryScope&) = delete;
    WorkingDirectoryScope& operator=(const WorkingDirectoryScope&) = delete;

private:
    int saved_ = -1;
};

// GIO and the libraries under it are loaded when the first entry is opened,
// not at every start of the launcher: most starts never open one.
struct Gio {
    decltype(&g_desktop_app_info_new_from_filename) newFromFilename = nullptr;
    decltype(&g_app_launch_context_new) newLaunchContext = nullptr;
    decltype(&g_desktop_app_info_launch_uris_as_manager) launch = nullptr;
    decltype(&g_error_free) freeError = nullptr;
    decltype(&g_object_unref) unref = nullptr;

    bool complete() const { return newFromFilename && newLaunchContext && launch && freeError && unref; }
};

template <typename Function>
void bind(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
}

const Gio* gio() {
    static const Gio loaded = [] {
        Gio g;
        // Never closed: it stays for the rest of the run, as a linked library would.
        void* library = ::dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!library) return g;
        bind(library, "g_desktop_app_info_new_from_filename", g.newFromFilename);
        bind(library, "g_app_launch_context_new", g.newLaunchContext);
        bind(library, "g_desktop_app_info_launch_uris_as_manager", g.launch);
        bind(library, "g_error_free", g.freeError);
        bind(library, "g_object_unref", g.unref);
        return g;
    }();
    return loaded.complete() ? &loaded : nullptr;
}

// Run in the started program's process before its exec, as for the programs
// we start ourselves: a session of its own, so a signal to the launcher's
// group or a closed terminal does not reach it, and no signal left ignored.
void detachChild(gpointer) {
    ::setsid();
    resetSignals();
}

}  // namespace

bool isDesktopEntryFile(const std::string& path) {
    constexpr std::string_view suffix = ".desktop";
    if (path.size() <= suffix.size() || path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return false;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool launchDesktopEntry(const std::string& path, const std::string& directory) {
    const Gio* g = gio();
    if (!g) return false;
    GDesktopAppInfo* info = g->newFromFilename(path.c_str());
    if (!info) return false;
    GAppLaunchContext* context = g->newLaunchContext();
    GError* error = nullptr;
    gboolean launched = FALSE;
    {
        WorkingDirectoryScope scope(directory);
        // GIO's own choice of flags for an entry (its program looked up on
        // PATH; started as a grandchild, so no zombie is left).
        launched =
            g->launch(info, nullptr, context, G_SPAWN_SEARCH_PATH, detachChild, nullptr, nullptr, nullptr, &error);
    }
    if (error) g->freeError(error);
    g->unref(context);
    g->unref(info);
    return launched;
}

}  // namespace qlp::linux_desktop
