#pragma once
// Qt's own texts (the scroll bar's menu, the file dialog, standard buttons)
// in the launcher's language, Japanese, whatever the desktop's locale.

class QString;

namespace qlp::linux_desktop {

// Loads Qt's Japanese translations from `directory` (Qt's own translations
// directory when empty). Without them Qt's texts stay as they are. Returns
// whether they were loaded.
bool loadQtJapaneseTexts(const QString& directory);

}  // namespace qlp::linux_desktop
