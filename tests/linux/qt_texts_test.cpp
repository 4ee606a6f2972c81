// Qt's own texts follow the launcher's language when Qt's Japanese
// translations are installed, and nothing changes when they are not.
#include "platform/linux/views/qt_texts.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include "temp_dir.h"

namespace qlp::linux_desktop {
namespace {

QString scrollHere() { return QCoreApplication::translate("QScrollBar", "Scroll here"); }

TEST(QtTexts, JapaneseWhenInstalledUnchangedWhenMissing) {
    const QString installed = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFileInfo::exists(installed + QStringLiteral("/qtbase_ja.qm"))) {
        GTEST_SKIP() << "Qt's Japanese translations are not installed (qt6-translations-l10n)";
    }
    ASSERT_EQ(scrollHere(), QStringLiteral("Scroll here"));

    test::TempDir empty;
    EXPECT_EQ(loadQtJapaneseTexts(QString::fromStdString(empty.path())), nullptr);
    EXPECT_EQ(scrollHere(), QStringLiteral("Scroll here"));

    {
        const auto texts = loadQtJapaneseTexts({});
        ASSERT_NE(texts, nullptr);
        EXPECT_EQ(scrollHere(), QStringLiteral("ここにスクロール"));
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
    }
    EXPECT_EQ(scrollHere(), QStringLiteral("Scroll here"));
}

}  // namespace
}  // namespace qlp::linux_desktop
