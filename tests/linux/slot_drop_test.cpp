#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include "app/startup.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/views/desktop.h"
#include "platform/linux/views/main_window.h"

namespace qlp::linux_desktop {
namespace {

class SlotDropTest : public ::testing::Test {
protected:
    SlotDropTest() {
        desktop.dispatch([&] { Form_Load(app); });
        for (const char* name : {"first.txt", "second.txt"}) {
            QFile file(files.filePath(QString::fromLatin1(name)));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("words\n");
        }
    }

    void dropOn(int slot, QMimeData& mime) {
        // As a drag from the file manager arrives: enter, then drop.
        SlotWidget* target = desktop.mainWindow().slot(slot);
        QDragEnterEvent enter(QPoint(4, 4), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(4, 4), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
    }
    QString file(const char* name) const { return files.filePath(QString::fromLatin1(name)); }

    QTemporaryDir config;
    QTemporaryDir files;
    LinuxPlatform platform{config.path().toStdString()};
    Launcher app{platform};
    Desktop desktop{app, platform};
};

TEST_F(SlotDropTest, AFileListFillsTheSlotAndItShowsTheIcon) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(file("first.txt")), QUrl::fromLocalFile(file("second.txt"))});
    dropOn(3, mime);

    const std::string first = file("first.txt").toStdString();
    EXPECT_EQ(app.form1.slotPath[3], first);
    for (int s = 0; s < kSlotCount; ++s) {
        if (s != 3) {
            ASSERT_TRUE(app.form1.slotPath[s].empty()) << s;
        }
    }
    SlotWidget* widget = desktop.mainWindow().slot(3);
    EXPECT_EQ(widget->toolTip().toStdString(), first);
    ASSERT_FALSE(widget->pixmap().isNull());
    const QImage shown = widget->pixmap().toImage();
    EXPECT_EQ(shown.size(), QSize(36, 36));
    // The icon sits on the surface's background at the top-left corner.
    const QColor back = shown.pixelColor(35, 35);
    int iconPixels = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) iconPixels += shown.pixelColor(x, y) != back;
    EXPECT_GT(iconPixels, 100);
    // The scratch picture file is a bitmap.
    QFile scratch(config.filePath(QStringLiteral("QLPtemp")));
    ASSERT_TRUE(scratch.open(QIODevice::ReadOnly));
    EXPECT_EQ(scratch.read(2), QByteArray("BM"));
}

TEST_F(SlotDropTest, DropsWithoutALocalFileListRegisterNothing) {
    QMimeData text;
    text.setText(QStringLiteral("just some words"));
    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("https://example.org/file.txt"))});
    // A slot dragged inside the launcher carries its own format, not a file list.
    QMimeData ownDrag;
    ownDrag.setData(kSlotMimeType, QByteArray("7"));
    ownDrag.setUrls({QUrl::fromLocalFile(file("first.txt"))});
    for (QMimeData* mime : {&text, &remote, &ownDrag}) {
        dropOn(5, *mime);
        EXPECT_TRUE(app.form1.slotPath[5].empty()) << mime->formats().join(' ').toStdString();
        EXPECT_TRUE(desktop.mainWindow().slot(5)->pixmap().isNull());
    }
}

}  // namespace
}  // namespace qlp::linux_desktop
