#include "platform/linux/services/icon_theme.h"

#include <dirent.h>

#include <charconv>
#include <climits>
#include <cstdlib>
#include <string_view>

#include "platform/linux/files/file_read.h"

namespace qlp::linux_desktop {

namespace {

// An index.theme is a few tens of kilobytes; anything much larger is not one.
constexpr std::size_t kMaxIndexSize = 4u << 20;
// Inheritance deeper than this is a loop or a mistake.
constexpr int kMaxInheritance = 16;

std::string_view trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

std::vector<std::string> commaList(std::string_view value) {
    std::vector<std::string> items;
    while (!value.empty()) {
        const auto comma = value.find(',');
        const std::string_view item = trimmed(value.substr(0, comma));
        if (!item.empty()) items.emplace_back(item);
        if (comma == std::string_view::npos) break;
        value.remove_prefix(comma + 1);
    }
    return items;
}

bool toInt(std::string_view text, int& value) {
    text = trimmed(text);
    int parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size()) return false;
    value = parsed;
    return true;
}

// A theme, directory or icon name that stays inside the directory it is
// looked up in.
bool safeName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

bool safeSubdir(const std::string& subdir) {
    if (subdir.empty() || subdir.front() == '/') return false;
    std::string_view rest(subdir);
    while (!rest.empty()) {
        const auto slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        if (part.empty() || part == "." || part == "..") return false;
        if (slash == std::string_view::npos) break;
        rest.remove_prefix(slash + 1);
    }
    return true;
}

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The file kinds an icon-theme.cache records for an icon in a directory.
unsigned kindOfExtension(const std::string& extension) {
    if (extension == "xpm") return 1;
    if (extension == "svg") return 2;
    if (extension == "png") return 4;
    return 0;
}

}  // namespace

// The index gtk-update-icon-cache writes beside a theme's index.theme: big
// endian; a header (version 1.0, offsets of a hash table of icon names and
// of the list of directories), each icon with the directories that hold it
// and the kinds of file there. Every offset is checked against the file.
class IconTheme::Cache {
public:
    static std::shared_ptr<const Cache> open(const std::string& root) {
        struct stat dir {};
        if (::stat(root.c_str(), &dir) != 0) return nullptr;
        auto cache = std::make_shared<Cache>();
        FileIdentity identity;
        if (!readWhole(root + "/icon-theme.cache", cache->bytes_, identity)) return nullptr;
        // An icon added to the theme after the cache was written is missing from
        // it: a cache older than its directory is not used.
        if (identity.mtimeSeconds < static_cast<std::int64_t>(dir.st_mtime)) return nullptr;
        if (!cache->parse()) return nullptr;
        return cache;
    }

    // The index of directory `subdir` in the cache, or -1 when it has none.
    int directoryIndex(const std::string& subdir) const {
        const auto dir = directories_.find(subdir);
        return dir == directories_.end() ? -1 : static_cast<int>(dir->second);
    }

    // Where the cache has `icon`: each directory's index with the kinds of
    // file (kindOfExtension bits) there; empty when it has no such icon.
    std::vector<Image> images(const std::string& icon) const {
        std::vector<Image> found;
        const std::uint32_t buckets = u32(hashOffset_);
        if (buckets == 0 || buckets == kNone) return found;
        std::uint32_t entry = u32(hashOffset_ + 4 + 4 * static_cast<std::size_t>(hash(icon) % buckets));
        // A chain can't be longer than the file has entries; a longer one loops.
        for (std::size_t steps = 0; entry != kNone && steps < bytes_.size() / 12; ++steps) {
            const char* name = text(u32(entry + 4));
            if (name && icon == name) {
                const std::uint32_t images = u32(entry + 8);
                const std::uint32_t count = u32(images);
                for (std::uint32_t i = 0; count != kNone && i < count && fits(images + 4 + 8 * std::size_t(i), 8);
                     ++i) {
                    const std::size_t image = images + 4 + 8 * std::size_t(i);
                    found.push_back(Image{static_cast<int>(u16(image)), u16(image + 2)});
                }
                return found;
            }
            entry = u32(entry);
        }
        return found;
    }

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    // The hash gtk-update-icon-cache files names by (over signed chars).
    static std::uint32_t hash(const std::string& name) {
        if (name.empty()) return 0;
        std::uint32_t h = static_cast<std::uint32_t>(static_cast<signed char>(name[0]));
        for (std::size_t i = 1; i < name.size(); ++i) {
            h = (h << 5) - h + static_cast<std::uint32_t>(static_cast<signed char>(name[i]));
        }
        return h;
    }

    bool fits(std::size_t offset, std::size_t length) const {
        return offset <= bytes_.size() && length <= bytes_.size() - offset;
    }
    std::uint32_t u16(std::size_t offset) const {
        if (!fits(offset, 2)) return kNone;
        const auto* b = reinterpret_cast<const unsigned char*>(bytes_.data()) + offset;
        return (std::uint32_t(b[0]) << 8) | b[1];
    }
    std::uint32_t u32(std::size_t offset) const {
        if (!fits(offset, 4)) return kNone;
        const auto* b = reinterpret_cast<const unsigned char*>(bytes_.data()) + offset;
        return (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) | b[3];
    }
    // The string at `offset`, if it ends within the file.
    const char* text(std::uint32_t offset) const {
        if (offset >= bytes_.size() || bytes_.find('\0', offset) == std::string::npos) return nullptr;
        return bytes_.data() + offset;
    }

    bool parse() {
        if (u16(0) != 1 || u16(2) != 0) return false;
        hashOffset_ = u32(4);
        const std::uint32_t list = u32(8);
        const std::uint32_t count = u32(list);
        if (hashOffset_ == kNone || count == kNone || count > 0xFFFF) return false;
        for (std::uint32_t i = 0; i < count; ++i) {
            const char* name = text(u32(list + 4 + 4 * std::size_t(i)));
            if (!name) return false;
            directories_.emplace(name, i);
        }
        return true;
    }

    std::string bytes_;
    std::uint32_t hashOffset_ = kNone;
    std::map<std::string, std::uint32_t> directories_;
};

std::vector<std::string> iconBaseDirectories() {
    std::vector<std::string> bases;
    const char* home = std::getenv("HOME");
    if (home && *home) bases.push_back(std::string(home) + "/.icons");
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome == '/') {
        bases.push_back(std::string(dataHome) + "/icons");
    } else if (home && *home) {
        bases.push_back(std::string(home) + "/.local/share/icons");
    }
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    std::string_view dirs = dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share";
    while (!dirs.empty()) {
        const auto colon = dirs.find(':');
        std::string dir(dirs.substr(0, colon));
        while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
        // Only absolute entries count; relative ones would depend on where we were started.
        if (!dir.empty() && dir.front() == '/') {
            std::string base = dir + "/icons";
            bool known = false;
            for (const auto& b : bases) known = known || b == base;
            if (!known) bases.push_back(std::move(base));
        }
        if (colon == std::string_view::npos) break;
        dirs.remove_prefix(colon + 1);
    }
    return bases;
}

IconTheme::IconTheme(const std::string& name, std::vector<std::string> bases, std::vector<std::string> extensions)
    : name_(name), bases_(std::move(bases)), extensions_(std::move(extensions)) {
    // Depth first through what each theme inherits, each theme once.
    std::set<std::string> seen;
    struct Pending {
        std::string name;
        int depth;
    };
    std::vector<Pending> stack{{name, 0}};
    while (!stack.empty()) {
        const Pending next = std::move(stack.back());
        stack.pop_back();
        if (next.depth > kMaxInheritance || !seen.insert(next.name).second) continue;
        Theme theme;
        std::vector<std::string> parents;
        if (!readTheme(next.name, theme, parents)) continue;
        if (next.depth == 0) installed_ = true;
        chain_.push_back(std::move(theme));
        for (auto it = parents.rbegin(); it != parents.rend(); ++it) stack.push_back({*it, next.depth + 1});
    }
    if (!seen.count("hicolor")) {
        Theme hicolor;
        std::vector<std::string> ignored;
        if (readTheme("hicolor", hicolor, ignored)) chain_.push_back(std::move(hicolor));
    }
}

bool IconTheme::readTheme(const std::string& name, Theme& theme, std::vector<std::string>& parents) const {
    if (!safeName(name)) return false;
    theme.name = name;
    std::string index;
    bool found = false;
    for (const std::string& base : bases_) {
        const std::string root = base + "/" + name;
        if (!isDirectory(root)) continue;
        theme.roots.push_back(Root{root, Cache::open(root), {}});
        // The first index.theme found describes the theme.
        if (found) continue;
        FileIdentity identity;
        found = readWhole(root + "/index.theme", index, identity) && index.size() <= kMaxIndexSize;
        if (!found) index.clear();
    }
    if (!found) return false;

    std::map<std::string, Directory> described;
    std::vector<std::string> listed;
    std::string section;
    std::string_view rest(index);
    while (!rest.empty()) {
        const auto newline = rest.find('\n');
        const std::string_view line = trimmed(rest.substr(0, newline));
        rest.remove_prefix(newline == std::string_view::npos ? rest.size() : newline + 1);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            section = line.back() == ']' ? std::string(line.substr(1, line.size() - 2)) : std::string();
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = trimmed(line.substr(0, eq));
        const std::string_view value = trimmed(line.substr(eq + 1));
        if (section == "Icon Theme") {
            if (key == "Inherits") parents = commaList(value);
            if (key == "Directories" || key == "ScaledDirectories") {
                for (auto& dir : commaList(value)) listed.push_back(std::move(dir));
            }
            continue;
        }
        if (section.empty()) continue;
        Directory& dir = described[section];
        int number = 0;
        if (key == "Size" && toInt(value, number)) dir.size = number;
        if (key == "MinSize" && toInt(value, number)) dir.minSize = number;
        if (key == "MaxSize" && toInt(value, number)) dir.maxSize = number;
        if (key == "Threshold" && toInt(value, number)) dir.threshold = number;
        if (key == "Scale" && toInt(value, number)) dir.scale = number;
        if (key == "Type") {
            if (value == "Fixed") dir.type = SizeType::Fixed;
            if (value == "Scalable") dir.type = SizeType::Scalable;
            if (value == "Threshold") dir.type = SizeType::Threshold;
        }
    }
    std::set<std::string> taken;
    for (const std::string& subdir : listed) {
        const auto it = described.find(subdir);
        // A directory without a size is no icon directory.
        if (it == described.end() || it->second.size <= 0 || !safeSubdir(subdir) || !taken.insert(subdir).second) {
            continue;
        }
        Directory dir = it->second;
        dir.subdir = subdir;
        if (dir.minSize <= 0) dir.minSize = dir.size;
        if (dir.maxSize <= 0) dir.maxSize = dir.size;
        if (dir.scale <= 0) dir.scale = 1;
        theme.directories.push_back(std::move(dir));
    }
    for (Root& root : theme.roots) {
        if (!root.cache) continue;
        for (const Directory& dir : theme.directories) {
            root.cacheDirectory.push_back(root.cache->directoryIndex(dir.subdir));
        }
    }
    return true;
}

std::string IconTheme::find(const std::string& icon, int size) {
    if (!safeName(icon)) return {};
    for (const Theme& theme : chain_) {
        std::string file = lookUp(theme, icon, size);
        if (!file.empty()) return file;
    }
    return {};
}

std::string IconTheme::lookUp(const Theme& theme, const std::string& icon, int size) {
    const auto matches = [size](const Directory& d) {
        if (d.scale != 1) return false;
        switch (d.type) {
            case SizeType::Fixed:
                return d.size == size;
            case SizeType::Scalable:
                return d.minSize <= size && size <= d.maxSize;
            case SizeType::Threshold:
                break;
        }
        return d.size - d.threshold <= size && size <= d.size + d.threshold;
    };
    const auto distance = [size](const Directory& d) {
        const int wanted = size;
        int low = d.size * d.scale;
        int high = low;
        if (d.type == SizeType::Scalable) {
            low = d.minSize * d.scale;
            high = d.maxSize * d.scale;
        } else if (d.type == SizeType::Threshold) {
            low = (d.size - d.threshold) * d.scale;
            high = (d.size + d.threshold) * d.scale;
        }
        if (wanted < low) return low - wanted;
        if (wanted > high) return wanted - high;
        return 0;
    };
    // The icon is looked up once in each root's cache, not once per directory;
    // a theme whose caches all lack it is passed over at once.
    std::vector<std::vector<Image>> cached(theme.roots.size());
    bool anywhere = false;
    for (std::size_t r = 0; r < theme.roots.size(); ++r) {
        if (theme.roots[r].cache) cached[r] = theme.roots[r].cache->images(icon);
        anywhere = anywhere || !theme.roots[r].cache || !cached[r].empty();
    }
    if (!anywhere) return {};
    const auto fileAt = [&](std::size_t d) {
        for (std::size_t r = 0; r < theme.roots.size(); ++r) {
            std::string file = fileIn(theme.roots[r], cached[r], d, theme.directories[d].subdir, icon);
            if (!file.empty()) return file;
        }
        return std::string();
    };
    for (std::size_t d = 0; d < theme.directories.size(); ++d) {
        if (!matches(theme.directories[d])) continue;
        std::string file = fileAt(d);
        if (!file.empty()) return file;
    }
    std::string closest;
    int best = INT_MAX;
    for (std::size_t d = 0; d < theme.directories.size(); ++d) {
        const int distanceOf = distance(theme.directories[d]);
        if (distanceOf >= best) continue;
        std::string file = fileAt(d);
        if (file.empty()) continue;
        closest = std::move(file);
        best = distanceOf;
    }
    return closest;
}

std::string IconTheme::fileIn(const Root& root, const std::vector<Image>& cached, std::size_t directory,
                              const std::string& subdir, const std::string& icon) {
    if (root.cache) {
        const int index = directory < root.cacheDirectory.size() ? root.cacheDirectory[directory] : -1;
        if (index < 0) return {};
        for (const Image& image : cached) {
            if (image.directory != index) continue;
            for (const std::string& ext : extensions_) {
                if (image.kinds & kindOfExtension(ext)) return root.path + "/" + subdir + "/" + icon + "." + ext;
            }
            return {};
        }
        return {};
    }
    const std::string dir = root.path + "/" + subdir;
    auto listing = listings_.find(dir);
    if (listing == listings_.end()) {
        listing = listings_.emplace(dir, std::set<std::string>()).first;
        if (DIR* d = ::opendir(dir.c_str())) {
            while (const dirent* entry = ::readdir(d)) {
                const std::string_view name(entry->d_name);
                if (name != "." && name != "..") listing->second.insert(std::string(name));
            }
            ::closedir(d);
        }
    }
    for (const std::string& ext : extensions_) {
        const std::string file = icon + "." + ext;
        if (listing->second.count(file)) return dir + "/" + file;
    }
    return {};
}

}  // namespace qlp::linux_desktop
