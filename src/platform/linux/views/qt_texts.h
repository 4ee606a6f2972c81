#pragma once
// Qt's own texts (the scroll bar's menu, the file dialog, standard buttons)
// in the launcher's language, Japanese, whatever the desktop's locale.

#include <memory>

class QString;
class QTranslator;

namespace qlp::linux_desktop {

// Installs Qt's Japanese translations from `directory` (Qt's own translations
// directory when empty); they hold while the result lives. Without them Qt's
// texts stay as they are and the result is empty.
std::unique_ptr<QTranslator> loadQtJapaneseTexts(const QString& directory);

}  // namespace qlp::linux_desktop
