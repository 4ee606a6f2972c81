#pragma once
// The files a start reads first, read on a second thread while the window
// system connection is made: the settings file, the front page's slot
// pictures and the content types of its slots that have no picture. Each
// result keeps the identity of the file it came from; it is used only while
// the file still has that identity, so a read sees the file as it is at the
// moment of use.

#include <map>
#include <optional>
#include <string>
#include <thread>

#include "model/controls.h"
#include "platform/linux/file_read.h"
#include "platform/linux/icon_lookup.h"
#include "platform/profile/profile_text.h"

namespace qlp::linux_desktop {

struct PrefetchedSettings {
    std::string path;
    FileIdentity identity;
    profile::ProfileText text;
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

    // Waits for the reading to end and hands over what it found.
    StartupFiles take();

private:
    StartupFiles files_;
    std::thread worker_;
};

}  // namespace qlp::linux_desktop
