#include "platform/linux/qt_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace qlp::linux_desktop {

bool loadQtJapaneseTexts(const QString& directory) {
    static QTranslator* loaded = nullptr;
    if (loaded) return true;
    const QString dir = directory.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : directory;
    // The launcher uses Qt's base modules only; their texts are qtbase's.
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                          dir) ||
        !QCoreApplication::installTranslator(translator.get())) {
        return false;
    }
    loaded = translator.release();
    return true;
}

}  // namespace qlp::linux_desktop
