#include <QAction>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QWindow>

#include <memory>

#include "launcher/navigation.h"
#include "linux/view_fixture.h"
#include "model/controls.h"
#include "options/options.h"
#include "platform/linux/views/main_window.h"

namespace qlp::linux_desktop::test {
namespace {

struct ShownEntry {
    QString text;
    bool separator;
    bool enabled;
    bool checked;
};

class SlotEditingView : public ViewTest {
protected:
    void fill(int slot, const std::string& path, std::int16_t exeType) {
        app.form1.slotPath[slot] = path;
        app.form1.slotExeType[slot] = exeType;
        app.form1.Image1[slot].picture = std::make_shared<const Bitmap>(Bitmap{2, 2, {0xFFFF0000u, 0xFF00FF00u,
                                                                                      0xFF0000FFu, 0xFFFFFFFFu}});
        app.form1.Image1[slot].toolTip = path;
        desktop.render();
    }

    // Right-clicks a slot widget, reads the menu that opens, and closes it
    // choosing `choose` (or nothing).
    std::vector<ShownEntry> rightClick(int slot, const QString& choose = {}) {
        std::vector<ShownEntry> shown;
        whenUp([] { return QApplication::activePopupWidget(); },
               [&](QWidget* w) {
                   auto* menu = qobject_cast<QMenu*>(w);
                   ASSERT_NE(menu, nullptr);
                   QAction* chosen = nullptr;
                   for (QAction* a : menu->actions()) {
                       shown.push_back({a->text(), a->isSeparator(), a->isEnabled(), a->isChecked()});
                       if (!choose.isEmpty() && a->text() == choose) chosen = a;
                   }
                   if (chosen) {
                       menu->setActiveAction(chosen);
                       QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                       QApplication::sendEvent(menu, &enter);
                   } else {
                       menu->close();
                   }
               });
        SlotWidget* w = desktop.mainWindow().slot(slot);
        const QPointF at(3, 3);
        QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                          Qt::NoModifier);
        QApplication::sendEvent(w, &press);
        return shown;
    }

    // Delivers a drag of `data` as the window system does: it enters the main
    // window over slot `target`'s widget, moves, and is released there.
    void dropOn(int target, const QByteArray& data) {
        SlotWidget* w = desktop.mainWindow().slot(target);
        QWindow* window = desktop.mainWindow().windowHandle();
        ASSERT_NE(window, nullptr);
        const QPointF at = w->mapTo(&desktop.mainWindow(), QPointF(4, 4));
        QMimeData mime;
        mime.setData(kSlotMimeType, data);
        QDragEnterEvent enter(at.toPoint(), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &enter);
        QDragMoveEvent move(at.toPoint(), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &move);
        QDropEvent drop(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &drop);
    }
    void dropSlot(int source, int target) { dropOn(target, QByteArray::number(source)); }
};

TEST_F(SlotEditingView, RightClickShowsThePopupOfAFilledSlot) {
    fill(3, "/opt/A&B/run", 0);
    const auto shown = rightClick(3);
    const std::vector<QString> texts = {
        QStringLiteral("何もしない\u3000(/opt/A&&B/run)"), "開く", "削除", "関連付けで開く", "",
        "解説テキストの表示", "アイコンの説明を書く", "ページの説明を書く", "", "常に手前に表示",
        "アイコンの移動をする", "好きなところに格納", "", "オプション", "設定読込", "設定保存", "終了"};
    ASSERT_EQ(shown.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(shown[i].separator, texts[i].isEmpty());
        if (!shown[i].separator) {
            EXPECT_EQ(shown[i].text, texts[i]);
        }
        EXPECT_TRUE(shown[i].enabled);
    }
    EXPECT_TRUE(shown[3].checked);   // launch mode 0: through the association
    EXPECT_TRUE(shown[11].checked);  // drop where it lands, on at creation
    EXPECT_FALSE(shown[10].checked);
    EXPECT_EQ(app.form1.menuSlot, 3);
}

TEST_F(SlotEditingView, RightClickOnAnEmptySlotDisablesTheSlotEntries) {
    const auto shown = rightClick(9);
    ASSERT_EQ(shown.size(), kPpmOrder.size());
    EXPECT_EQ(shown[0].text, QStringLiteral("何もしない"));
    for (std::size_t i : {1, 2, 3, 6}) EXPECT_FALSE(shown[i].enabled) << shown[i].text.toStdString();
    for (std::size_t i : {0, 5, 7, 9, 10, 11, 13, 14, 15, 16}) EXPECT_TRUE(shown[i].enabled) << i;
}

TEST_F(SlotEditingView, ChoosingDeleteEmptiesTheSlotWidget) {
    fill(5, "/usr/bin/gimp", 1);
    ASSERT_FALSE(desktop.mainWindow().slot(5)->pixmap().isNull());
    rightClick(5, QStringLiteral("削除"));
    EXPECT_TRUE(app.form1.slotPath[5].empty());
    EXPECT_TRUE(desktop.mainWindow().slot(5)->pixmap().isNull());
    EXPECT_TRUE(desktop.mainWindow().slot(5)->toolTip().isEmpty());
}

TEST_F(SlotEditingView, SlotDroppedOnAnEmptySlotMovesThere) {
    fill(3, "/usr/bin/xterm", 1);
    desktop.dispatch([this] { form2::setICheck(app, 1); });
    // Slot 20 is on page 1: the drag turned the page before the release.
    desktop.dispatch([this] { setPage(app, 1); });
    dropSlot(3, 20);
    EXPECT_TRUE(app.form1.slotPath[3].empty());
    EXPECT_EQ(app.form1.slotPath[20], "/usr/bin/xterm");
    MainWindow& w = desktop.mainWindow();
    EXPECT_TRUE(w.slot(3)->pixmap().isNull());
    EXPECT_TRUE(w.slot(3)->toolTip().isEmpty());
    EXPECT_FALSE(w.slot(20)->pixmap().isNull());
    EXPECT_EQ(w.slot(20)->toolTip(), QStringLiteral("/usr/bin/xterm"));
}

TEST_F(SlotEditingView, SlotDroppedOnAFilledSlotChangesNothing) {
    fill(3, "/usr/bin/xterm", 1);
    fill(4, "/usr/bin/gimp", 0);
    dropSlot(3, 4);
    EXPECT_EQ(app.form1.slotPath[3], "/usr/bin/xterm");
    EXPECT_EQ(app.form1.slotPath[4], "/usr/bin/gimp");
}

TEST_F(SlotEditingView, ForeignDataWithTheSlotTypeIsRefused) {
    fill(3, "/usr/bin/xterm", 1);
    for (const char* data : {"120", "-1", "3x", ""}) dropOn(20, data);
    EXPECT_TRUE(app.form1.slotPath[20].empty());
    EXPECT_EQ(app.form1.slotPath[3], "/usr/bin/xterm");
}

}  // namespace
}  // namespace qlp::linux_desktop::test
