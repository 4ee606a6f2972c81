#pragma once
// An installed freedesktop icon theme, searched as the desktop's file
// managers search it: the theme, the themes it inherits, then hicolor, each
// by its index.theme, the directory fitting the size best winning. Our own
// rather than Qt's icon loader so that it can run on any thread (the start
// looks up the front page's icons while the window system is connected).
// Where a theme directory has a current icon-theme.cache (the index that
// gtk-update-icon-cache writes) a name is found in it at once; elsewhere
// each directory looked into is read once.
//
// One instance is used by one thread at a time.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace qlp::linux_desktop {

// The directories that hold icon themes, in the order they are searched:
// ~/.icons, $XDG_DATA_HOME/icons, then $XDG_DATA_DIRS/icons each.
std::vector<std::string> iconBaseDirectories();

class IconTheme {
public:
    IconTheme() = default;
    // The theme `name` as installed under `bases`, with the themes it
    // inherits; file `extensions` ("png", "xpm", …) in the order preferred.
    IconTheme(const std::string& name, std::vector<std::string> bases, std::vector<std::string> extensions);

    const std::string& name() const { return name_; }
    // Whether some base directory holds the theme's index.theme.
    bool installed() const { return installed_; }

    // The file of icon `icon` that fits `size` pixels best, found in the
    // theme, else in those it inherits, else in hicolor; empty if none has it.
    std::string find(const std::string& icon, int size);

private:
    enum class SizeType { Fixed, Scalable, Threshold };
    struct Directory {
        std::string subdir;
        int size = 0;
        int minSize = 0;
        int maxSize = 0;
        int threshold = 2;
        int scale = 1;
        SizeType type = SizeType::Threshold;
    };
    class Cache;
    // An icon in a cache: the cache's index of a directory holding it, and
    // the kinds of file there.
    struct Image {
        int directory = -1;
        unsigned kinds = 0;
    };
    struct Root {
        std::string path;
        // Its icon-theme.cache, when there is one no older than the directory.
        std::shared_ptr<const Cache> cache;
        // With a cache: for each of the theme's directories, its index in the
        // cache, or -1.
        std::vector<int> cacheDirectory;
    };
    struct Theme {
        std::string name;
        // Where the theme is installed, one per base directory that has it.
        std::vector<Root> roots;
        std::vector<Directory> directories;
    };

    // Reads theme `name`'s index.theme; false if no base directory has it.
    bool readTheme(const std::string& name, Theme& theme, std::vector<std::string>& parents) const;
    std::string lookUp(const Theme& theme, const std::string& icon, int size);
    // The file `icon` with one of the extensions in `subdir` (the theme's
    // directory number `directory`) of `root`, or empty; `cached` is where
    // the root's cache has the icon.
    std::string fileIn(const Root& root, const std::vector<Image>& cached, std::size_t directory,
                       const std::string& subdir, const std::string& icon);

    std::string name_;
    bool installed_ = false;
    std::vector<std::string> bases_;
    std::vector<std::string> extensions_;
    // The theme first, then what it inherits, depth first, hicolor last.
    std::vector<Theme> chain_;
    // The names in each directory looked into, read once.
    std::map<std::string, std::set<std::string>> listings_;
};

}  // namespace qlp::linux_desktop
