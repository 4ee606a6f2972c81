#pragma once
// The icon that the file manager shows for a path, at the size the launcher
// draws it. The icon theme is settled once and each icon is rendered once.
// A lookup may be made on another thread than Qt's main one and handed over.

#include <QImage>
#include <QMimeType>
#include <QString>
#include <map>
#include <optional>
#include <string>

#include "platform/linux/files/file_read.h"
#include "platform/linux/services/icon_theme.h"

namespace qlp::linux_desktop {

inline constexpr int kIconSize = 32;

// Where an icon comes from.
struct IconSource {
    enum class Kind { Theme, File, BuiltIn };
    Kind kind = Kind::BuiltIn;
    QString name;  // theme icon name or image file path
    QString file;  // for a theme icon, the file the theme has it in

    bool operator==(const IconSource&) const = default;
};

// A content type found ahead of use, for the file as it was then.
struct PrefetchedType {
    FileIdentity identity;
    QString mimeName;
};

// The content type the file manager gives `path`.
QMimeType contentTypeOf(const QString& path);

class IconLookup {
public:
    IconLookup() = default;
    // A lookup for another thread, usable before the application object
    // exists: its theme is settled from `configuredTheme`, the one the
    // desktop names, Qt is told nothing, and icons that need painting (a
    // built-in one, a picture of another size) are left to the main thread.
    explicit IconLookup(const QString& configuredTheme);

    // Takes the theme and the icons that `ahead` found, if this lookup has
    // settled no theme yet (then tells Qt the theme, for Qt's own icons).
    void adopt(IconLookup&& ahead);

    // Content types found ahead of use, by path, added to those not yet
    // taken; each is taken once, while its file is unchanged.
    void adoptTypes(std::map<std::string, PrefetchedType> types);

    // Decides which icon stands for `path`: a desktop entry's own icon, a
    // folder's, else its content type's, else the built-in file icon.
    IconSource sourceFor(const std::string& path);
    // That icon, kIconSize square, transparent around it.
    QImage iconFor(const std::string& path);

    // The icon theme in use; settled on first use.
    QString themeName();

private:
    void settleTheme();
    // Settles the theme from `configured`.
    void chooseTheme(const QString& configured);
    void tellQt();
    QMimeType typeOf(const std::string& path, const QString& qpath);
    QImage render(const IconSource& source);
    std::optional<IconSource> desktopEntryIcon(const QString& path);
    std::optional<IconSource> namedIcon(QString name);
    std::optional<IconSource> lookUpNamedIcon(const QString& name);

    // Whether this lookup lives on Qt's main thread, where it may paint.
    bool mainThread_ = true;
    bool themeSettled_ = false;
    // Whether Qt's icon loader knows the theme settled (or need not).
    bool toldQt_ = false;
    IconTheme theme_;
    std::map<std::string, PrefetchedType> types_;
    std::map<QString, QImage> rendered_;
    // What a name found in the theme, so each name is looked up once.
    std::map<QString, std::optional<IconSource>> named_;
};

// The value of Icon in the [Desktop Entry] group of a desktop entry file, or empty.
QString desktopEntryIconValue(const QString& path);

}  // namespace qlp::linux_desktop
