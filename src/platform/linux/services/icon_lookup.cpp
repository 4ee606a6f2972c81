#include "platform/linux/services/icon_lookup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QMimeDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QStandardPaths>

#include <algorithm>
#include <cstring>

namespace qlp::linux_desktop {

namespace {

// Desktop entries are a few kilobytes; anything much larger is not one.
constexpr qint64 kMaxDesktopEntrySize = 1 << 20;

// Without a desktop's platform theme Qt searches no system icon directory:
// give it ours, so that Qt's own icons (in dialogs) come from the same theme.
void addSystemIconDirectories() {
    QStringList paths = QIcon::themeSearchPaths();
    bool changed = false;
    for (const std::string& base : iconBaseDirectories()) {
        const QString dir = QString::fromStdString(base);
        if (paths.contains(dir) || !QFileInfo(dir).isDir()) continue;
        paths << dir;
        changed = true;
    }
    if (changed) QIcon::setThemeSearchPaths(paths);
}

// The image file kinds an icon theme may hold that can be read here, the
// freedesktop order of preference.
std::vector<std::string> iconFileExtensions() {
    std::vector<std::string> extensions{"png"};
    if (QImageReader::supportedImageFormats().contains("svg")) extensions.emplace_back("svg");
    extensions.emplace_back("xpm");
    return extensions;
}

bool readableImage(const QString& path) {
    if (!QFileInfo(path).isFile()) return false;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.canRead();
}

QString keyOf(const IconSource& source) {
    switch (source.kind) {
        case IconSource::Kind::Theme:
            return QStringLiteral("theme:") + source.file;
        case IconSource::Kind::File:
            return QStringLiteral("file:") + source.name;
        case IconSource::Kind::BuiltIn:
            break;
    }
    return QStringLiteral("builtin:") + source.name;
}

// A plain sheet with a folded corner, or a folder, for a desktop without icons.
QImage builtInIcon(bool folder) {
    QImage image(kIconSize, kIconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x55, 0x57, 0x53), 1));
    if (folder) {
        QPainterPath shape;
        shape.moveTo(2.5, 7.5);
        shape.lineTo(12.5, 7.5);
        shape.lineTo(15.5, 10.5);
        shape.lineTo(29.5, 10.5);
        shape.lineTo(29.5, 27.5);
        shape.lineTo(2.5, 27.5);
        shape.closeSubpath();
        p.setBrush(QColor(0xE8, 0xB9, 0x5A));
        p.drawPath(shape);
    } else {
        QPainterPath sheet;
        sheet.moveTo(6.5, 2.5);
        sheet.lineTo(19.5, 2.5);
        sheet.lineTo(26.5, 9.5);
        sheet.lineTo(26.5, 29.5);
        sheet.lineTo(6.5, 29.5);
        sheet.closeSubpath();
        p.setBrush(Qt::white);
        p.drawPath(sheet);
        QPainterPath fold;
        fold.moveTo(19.5, 2.5);
        fold.lineTo(19.5, 9.5);
        fold.lineTo(26.5, 9.5);
        p.setBrush(QColor(0xD3, 0xD7, 0xCF));
        p.drawPath(fold);
    }
    return image;
}

// Scales a picture to fit the icon square, centred, keeping its proportions.
QImage fitToIcon(const QImage& picture) {
    QImage canvas(kIconSize, kIconSize, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    if (picture.isNull()) return canvas;
    const QImage scaled = (picture.size() == QSize(kIconSize, kIconSize)
                               ? picture
                               : picture.scaled(kIconSize, kIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation))
                              .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Copied rather than painted, as a painter needs the application object.
    const int width = std::min(scaled.width(), kIconSize);
    const int height = std::min(scaled.height(), kIconSize);
    const int left = (kIconSize - width) / 2;
    const int top = (kIconSize - height) / 2;
    for (int y = 0; y < height; ++y) {
        std::memcpy(canvas.scanLine(top + y) + 4 * left, scaled.constScanLine(y), 4 * static_cast<std::size_t>(width));
    }
    return canvas;
}

}  // namespace

QString desktopEntryIconValue(const QString& path) {
    QFile file(path);
    if (file.size() > kMaxDesktopEntrySize || !file.open(QIODevice::ReadOnly)) return {};
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine(4096)).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QStringLiteral("[Desktop Entry]");
            continue;
        }
        if (!inEntry) continue;
        const auto eq = line.indexOf(QLatin1Char('='));
        // Only the plain key: Icon[de] and the like are translations.
        if (eq > 0 && line.left(eq).trimmed() == QStringLiteral("Icon")) return line.mid(eq + 1).trimmed();
    }
    return {};
}

QMimeType contentTypeOf(const QString& path) {
    const QMimeDatabase mimes;
    // The name decides where it can, as it does for the file manager; only a
    // name that tells nothing makes the content be read (a missing file is
    // known by its name alone).
    const QMimeType byName = mimes.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    if (!byName.isDefault()) return byName;
    const QFileInfo info(path);
    return info.exists() ? mimes.mimeTypeForFile(info) : byName;
}

void IconLookup::adoptTypes(std::map<std::string, PrefetchedType> types) { types_.merge(types); }

QMimeType IconLookup::typeOf(const std::string& path, const QString& qpath) {
    const auto known = types_.find(path);
    if (known != types_.end()) {
        // Taken once, and only for the file as it was when its type was found.
        const PrefetchedType type = std::move(known->second);
        types_.erase(known);
        if (regularFileIdentity(path) == type.identity) {
            const QMimeType mime = QMimeDatabase().mimeTypeForName(type.mimeName);
            if (mime.isValid()) return mime;
        }
    }
    return contentTypeOf(qpath);
}

IconLookup::IconLookup(const QString& configuredTheme) : mainThread_(false), toldQt_(true) {
    chooseTheme(configuredTheme);
}

void IconLookup::adopt(IconLookup&& ahead) {
    if (themeSettled_ || !ahead.themeSettled_) return;
    theme_ = std::move(ahead.theme_);
    named_ = std::move(ahead.named_);
    rendered_ = std::move(ahead.rendered_);
    themeSettled_ = true;
    toldQt_ = false;
    tellQt();
}

QString IconLookup::themeName() {
    settleTheme();
    return QString::fromStdString(theme_.name());
}

void IconLookup::settleTheme() {
    if (!themeSettled_) chooseTheme(QIcon::themeName());
    tellQt();
}

void IconLookup::chooseTheme(const QString& configured) {
    themeSettled_ = true;
    const std::vector<std::string> bases = iconBaseDirectories();
    const std::vector<std::string> extensions = iconFileExtensions();
    const auto load = [&](const std::string& name) { return IconTheme(name, bases, extensions); };
    const auto usable = [&](const std::string& name) {
        IconTheme theme = load(name);
        if (!theme.installed() || theme.find("folder", kIconSize).empty()) return false;
        theme_ = std::move(theme);
        return true;
    };
    const std::string wanted = configured.toStdString();
    // Without a desktop's platform theme Qt names hicolor, the theme every
    // other one falls back to, which holds no folder or document icons: it
    // is no choice of the user's.
    const bool chosen = !wanted.empty() && wanted != "hicolor";
    if (chosen && usable(wanted)) return;
    // No desktop theme (a bare X session): take an installed freedesktop theme.
    for (const char* fallback : {"Adwaita", "hicolor"}) {
        if (usable(fallback)) return;
    }
    theme_ = load(wanted.empty() ? std::string("hicolor") : wanted);
}

void IconLookup::tellQt() {
    if (toldQt_) return;
    toldQt_ = true;
    addSystemIconDirectories();
    const QString name = QString::fromStdString(theme_.name());
    if (QIcon::themeName() != name) QIcon::setThemeName(name);
}

std::optional<IconSource> IconLookup::namedIcon(QString name) {
    name = name.trimmed();
    const auto known = named_.find(name);
    if (known != named_.end()) return known->second;
    return named_[name] = lookUpNamedIcon(name);
}

std::optional<IconSource> IconLookup::lookUpNamedIcon(const QString& name) {
    if (name.isEmpty()) return std::nullopt;
    const auto inTheme = [this](const QString& icon) -> std::optional<IconSource> {
        const std::string file = theme_.find(icon.toStdString(), kIconSize);
        if (file.empty()) return std::nullopt;
        return IconSource{IconSource::Kind::Theme, icon, QString::fromStdString(file)};
    };
    if (auto found = inTheme(name)) return found;
    // Some entries name the icon with its file extension.
    static const QStringList extensions{QStringLiteral(".png"), QStringLiteral(".svg"), QStringLiteral(".xpm")};
    QString bare = name;
    for (const QString& ext : extensions) {
        if (!name.endsWith(ext, Qt::CaseInsensitive)) continue;
        bare = name.left(name.size() - ext.size());
        if (auto found = inTheme(bare)) return found;
    }
    // As the file manager does: text-x-python, then text-x, then text.
    for (auto dash = bare.lastIndexOf(QLatin1Char('-')); dash > 0; dash = bare.lastIndexOf(QLatin1Char('-'))) {
        bare.truncate(dash);
        if (auto found = inTheme(bare)) return found;
    }
    // The old place for application icons outside any theme.
    for (const QString& ext : QStringList{QString()} + extensions) {
        const QString file =
            QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("pixmaps/") + name + ext);
        if (!file.isEmpty() && readableImage(file)) return IconSource{IconSource::Kind::File, file, {}};
    }
    return std::nullopt;
}

std::optional<IconSource> IconLookup::desktopEntryIcon(const QString& path) {
    const QString value = desktopEntryIconValue(path);
    if (value.isEmpty()) return std::nullopt;
    if (value.startsWith(QLatin1Char('/'))) {
        if (readableImage(value)) return IconSource{IconSource::Kind::File, value, {}};
        return std::nullopt;
    }
    return namedIcon(value);
}

IconSource IconLookup::sourceFor(const std::string& path) {
    settleTheme();
    const QString qpath = QString::fromStdString(path);
    const QFileInfo info(qpath);
    if (info.isDir()) {
        if (auto folder = namedIcon(QStringLiteral("folder"))) return *folder;
        return {IconSource::Kind::BuiltIn, QStringLiteral("folder"), {}};
    }
    const QMimeType mime = typeOf(path, qpath);
    if (info.isFile() && (mime.inherits(QStringLiteral("application/x-desktop")) ||
                          info.suffix().compare(QStringLiteral("desktop"), Qt::CaseInsensitive) == 0)) {
        if (auto own = desktopEntryIcon(qpath)) return *own;
    }
    if (auto typed = namedIcon(mime.iconName())) return *typed;
    if (auto generic = namedIcon(mime.genericIconName())) return *generic;
    return {IconSource::Kind::BuiltIn, QStringLiteral("file"), {}};
}

QImage IconLookup::render(const IconSource& source) {
    QImage picture;
    switch (source.kind) {
        case IconSource::Kind::Theme:
        case IconSource::Kind::File: {
            QImageReader reader(source.kind == IconSource::Kind::Theme ? source.file : source.name);
            reader.setDecideFormatFromContent(true);
            if (reader.format() == "svg") {
                // A drawing is painted, which only the main thread may do.
                if (!mainThread_) return {};
                // It is drawn at the icon size rather than scaled afterwards.
                reader.setScaledSize(QSize(kIconSize, kIconSize));
            }
            picture = reader.read();
            break;
        }
        case IconSource::Kind::BuiltIn:
            break;
    }
    // Scaling may paint, and a painter needs Qt's application object: off
    // the main thread only pictures of the icon size are taken.
    if (!mainThread_) return picture.size() == QSize(kIconSize, kIconSize) ? fitToIcon(picture) : QImage();
    if (!picture.isNull()) return fitToIcon(picture);
    return builtInIcon(source.name == QStringLiteral("folder"));
}

QImage IconLookup::iconFor(const std::string& path) {
    const IconSource source = sourceFor(path);
    const QString key = keyOf(source);
    auto it = rendered_.find(key);
    if (it != rendered_.end()) return it->second;
    QImage icon = render(source);
    if (!icon.isNull()) rendered_.emplace(key, icon);
    return icon;
}

}  // namespace qlp::linux_desktop
