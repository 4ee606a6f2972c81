#include "platform/linux/views/qt_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace qlp::linux_desktop {

std::unique_ptr<QTranslator> loadQtJapaneseTexts(const QString& directory) {
    const QString dir = directory.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : directory;
    // The launcher uses Qt's base modules only; their texts are qtbase's.
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                          dir) ||
        !QCoreApplication::installTranslator(translator.get())) {
        return nullptr;
    }
    return translator;
}

}  // namespace qlp::linux_desktop
