#pragma once
// The icon that the file manager shows for a path, at the size the launcher
// draws it. The icon theme is settled once and each icon is rendered once.

#include <QImage>
#include <QString>
#include <map>
#include <optional>
#include <string>

namespace qlp::linux_desktop {

inline constexpr int kIconSize = 32;

// Where an icon comes from.
struct IconSource {
    enum class Kind { Theme, File, BuiltIn };
    Kind kind = Kind::BuiltIn;
    QString name;  // theme icon name or image file path

    bool operator==(const IconSource&) const = default;
};

class IconLookup {
public:
    // Decides which icon stands for `path`: a desktop entry's own icon, a
    // folder's, else its content type's, else the built-in file icon.
    IconSource sourceFor(const std::string& path);
    // That icon, kIconSize square, transparent around it.
    QImage iconFor(const std::string& path);

    // The icon theme in use; settled on first use.
    QString themeName();

private:
    void settleTheme();
    QImage render(const IconSource& source);
    std::optional<IconSource> desktopEntryIcon(const QString& path);
    std::optional<IconSource> namedIcon(QString name);
    std::optional<IconSource> lookUpNamedIcon(const QString& name);

    bool themeSettled_ = false;
    std::map<QString, QImage> rendered_;
    // What a name found in the theme, so each name is looked up once.
    std::map<QString, std::optional<IconSource>> named_;
};

// The value of Icon in the [Desktop Entry] group of a desktop entry file, or empty.
QString desktopEntryIconValue(const QString& path);

}  // namespace qlp::linux_desktop
