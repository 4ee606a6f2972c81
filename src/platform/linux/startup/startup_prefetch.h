#pragma once
// The files a start reads first, read on a second thread while the window
// system connection is made: the settings file, the front page's slot
// pictures and the content types of its slots that have no picture. Each
// result keeps the identity of the file it came from; it is used only while
// the file still has that identity, so a read sees the file as it is at the
// moment of use. Once the application object exists and the desktop's icon
// theme is known, the same thread looks up and renders the icons of those
// slots; before that it touches nothing application-wide of Qt's.

#include <QString>
#include <future>
#include <map>
#include <optional>
#include <string>
#include <thread>

#include "model/controls.h"
#include "platform/linux/files/file_read.h"
#include "platform/linux/services/icon_lookup.h"
#include "platform/profile/profile_encoding.h"
#include "platform/profile/profile_text.h"

namespace qlp::linux_desktop {

struct PrefetchedSettings {
    std::string path;
    FileIdentity identity;
    profile::ProfileText text;
    profile::FileCoding coding;
};

struct PrefetchedPicture {
    FileIdentity identity;
    Bitmap picture;
};

struct StartupFiles {
    std::optional<PrefetchedSettings> settings;
    // By picture file path.
    std::map<std::string, PrefetchedPicture> pictures;
    // By slot path, for the slots without a picture.
    std::map<std::string, PrefetchedType> types;
};

// What a start of the launcher in `winDir` reads first. With `frontPageOnly`
// pictures and types are read only for the slots of the page the window opens
// on: the other pages' pictures are loaded once the window is shown.
StartupFiles readStartupFiles(const std::string& winDir, bool frontPageOnly = false);

class StartupPrefetch {
public:
    explicit StartupPrefetch(const std::string& winDir);
    ~StartupPrefetch();
    StartupPrefetch(const StartupPrefetch&) = delete;
    StartupPrefetch& operator=(const StartupPrefetch&) = delete;

    // Lets the thread go on to the front page's icons in `configuredTheme`,
    // the icon theme the desktop names; at most once, and only while the
    // application object exists: the object must outlive this prefetch.
    void lookUpIcons(const QString& configuredTheme);

    // Waits for the reading to end and hands over what it found; nullopt
    // once handed over.
    std::optional<StartupFiles> take();
    // Waits for the icons and hands over the lookup that found them; nullopt
    // if none were asked for or there were none to find, and once handed over.
    std::optional<IconLookup> takeIcons();

private:
    std::promise<StartupFiles> filesDone_;
    std::future<StartupFiles> files_;
    // The theme the desktop names, or nullopt for no icons.
    std::promise<std::optional<QString>> theme_;
    bool themeGiven_ = false;
    std::promise<std::optional<IconLookup>> iconsDone_;
    std::future<std::optional<IconLookup>> icons_;
    std::thread worker_;
};

}  // namespace qlp::linux_desktop
