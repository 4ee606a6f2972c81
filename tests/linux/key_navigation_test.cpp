// Real key events on the page scroll bar of a running launcher.
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QTimer>

#include "app/startup.h"
#include "launch_test_support.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/views/desktop.h"
#include "platform/linux/views/key_codes.h"
#include "platform/linux/views/main_window.h"

namespace qlp::linux_desktop {
namespace {

using test::traceCommand;
using test::waitForFile;
using test::writeScript;

QKeyEvent keyPress(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, quint32 scanCode = 0,
                   quint32 keysym = 0) {
    return QKeyEvent(QEvent::KeyPress, key, modifiers, scanCode, keysym, 0);
}

// Keysyms of the logo keys.
constexpr quint32 kSuperL = 0xffeb;
constexpr quint32 kSuperR = 0xffec;

TEST(KeyCodes, QtKeysBecomeTheKeyMapsCodes) {
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        quint32 scanCode;
        int code;
        quint32 keysym = 0;
    } cases[] = {
        {Qt::Key_F1, {}, 67, 112},
        {Qt::Key_F12, Qt::ShiftModifier, 96, 123},
        {Qt::Key_0, {}, 19, 48},
        {Qt::Key_9, {}, 18, 57},
        {Qt::Key_5, {}, 0, 53},
        {Qt::Key_A, {}, 38, 65},
        {Qt::Key_A, Qt::ShiftModifier, 38, 65},
        {Qt::Key_Z, Qt::ControlModifier, 52, 90},
        {Qt::Key_Super_L, {}, 133, 91},
        {Qt::Key_Super_R, {}, 134, 92},
        // Qt reports both logo keys as Meta; the keysym tells them apart
        {Qt::Key_Meta, {}, 133, 91, kSuperL},
        {Qt::Key_Meta, Qt::MetaModifier, 134, 92, kSuperR},
        {Qt::Key_Meta, {}, 205, 92, 0xffe8},  // Meta_R
        {Qt::Key_Meta, {}, 0, 91},
        {Qt::Key_Menu, {}, 135, 93},
        // the digit row with shift held, or on a layout that types other characters there
        {Qt::Key_Exclam, Qt::ShiftModifier, 10, 49},
        {Qt::Key_ParenRight, Qt::ShiftModifier, 19, 48},
        {Qt::Key_Eacute, {}, 11, 50},
        // keypad digits are not the digit keys
        {Qt::Key_5, Qt::KeypadModifier, 84, 0},
        {Qt::Key_0, Qt::KeypadModifier, 90, 0},
        {Qt::Key_F13, {}, 191, 0},
        {Qt::Key_Up, {}, 111, 0},
        {Qt::Key_Space, {}, 65, 0},
        {Qt::Key_Exclam, Qt::ShiftModifier, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("key " + std::to_string(c.key) + " scan " + std::to_string(c.scanCode));
        EXPECT_EQ(virtualKeyCode(keyPress(c.key, c.modifiers, c.scanCode, c.keysym)), c.code);
    }
}

class KeyNavigationTest : public ::testing::Test {
protected:
    KeyNavigationTest() {
        desktop.dispatch([&] { Form_Load(app); });
    }

    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, quint32 scanCode = 0, quint32 keysym = 0) {
        QKeyEvent event = keyPress(key, modifiers, scanCode, keysym);
        QApplication::sendEvent(desktop.mainWindow().scrollBar(), &event);
    }
    int shownPage() { return desktop.mainWindow().pageLabel()->text().toInt(); }

    test::TempDir dir;
    LinuxPlatform platform{dir.path()};
    Launcher app{platform};
    Desktop desktop{app, platform};
};

TEST_F(KeyNavigationTest, KeysTurnPagesAndTheViewFollows) {
    app.form1.pageNote[5] = "page five";
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        quint32 scanCode;
        int page;
        quint32 keysym = 0;
    } cases[] = {
        {Qt::Key_5, {}, 14, 5},
        {Qt::Key_J, {}, 44, 9},
        {Qt::Key_K, Qt::ShiftModifier, 45, 0},
        {Qt::Key_At, Qt::ShiftModifier, 11, 2},
        {Qt::Key_Down, {}, 116, 3},  // the scroll bar's own handling
        {Qt::Key_7, Qt::KeypadModifier, 79, 3},
        {Qt::Key_Menu, {}, 135, 8},
        {Qt::Key_Meta, {}, 133, 6, kSuperL},
        {Qt::Key_Meta, {}, 134, 7, kSuperR},
        {Qt::Key_Menu, {}, 135, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("key " + std::to_string(c.key));
        press(c.key, c.modifiers, c.scanCode, c.keysym);
        EXPECT_EQ(app.form1.VScroll1.value, c.page);
        EXPECT_EQ(desktop.mainWindow().scrollBar()->value(), c.page);
        EXPECT_EQ(desktop.mainWindow().pageLabel()->text(), QString::number(c.page));
        EXPECT_TRUE(desktop.mainWindow().page(c.page)->isVisible());
    }
    press(Qt::Key_5);
    EXPECT_EQ(shownPage(), 5);
    EXPECT_EQ(desktop.mainWindow().descriptionLine()->text(), QStringLiteral("page five"));
}

// The desktop sends the menu key to the focused widget as a context-menu
// request before the key itself; the page turn is the key's only effect.
TEST_F(KeyNavigationTest, TheMenuKeyOpensNoMenuOfTheScrollBar) {
    PageScrollBar* bar = desktop.mainWindow().scrollBar();
    desktop.mainWindow().show();
    bar->setFocus();
    // The class of a menu that opened; the menu itself is gone once closed.
    QString opened;
    // A menu that opens runs its own event loop: note it and close it.
    QTimer closer;
    closer.setInterval(20);
    QObject::connect(&closer, &QTimer::timeout, &closer, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            opened = QString::fromLatin1(popup->metaObject()->className());
            popup->close();
        }
    });
    closer.start();
    const QPoint at = bar->rect().center();
    QContextMenuEvent fromKey(QContextMenuEvent::Keyboard, at, bar->mapToGlobal(at));
    QApplication::sendEvent(bar, &fromKey);
    press(Qt::Key_Menu, Qt::NoModifier, 135, 0xff67);
    QApplication::processEvents();
    EXPECT_TRUE(opened.isEmpty()) << "the menu key opened a " << opened.toStdString();
    EXPECT_EQ(app.form1.VScroll1.value, 8);

    // A right click still gets the scroll bar's own menu.
    QContextMenuEvent fromMouse(QContextMenuEvent::Mouse, at, bar->mapToGlobal(at));
    QApplication::sendEvent(bar, &fromMouse);
    EXPECT_EQ(opened, QStringLiteral("QMenu"));
    desktop.mainWindow().hide();
}

TEST_F(KeyNavigationTest, FunctionKeysStartTheSlotsOfThePagesBlock) {
    const std::string out0 = dir / "slot0";
    const std::string out36 = dir / "slot36";
    writeScript(dir / "slot 0 tool", traceCommand(out0, "echo zero"));
    writeScript(dir / "slot 36 tool", traceCommand(out36, "echo thirty-six"));
    app.form1.slotPath[0] = dir / "slot 0 tool";
    app.form1.slotExeType[0] = 1;
    app.form1.slotPath[36] = dir / "slot 36 tool";
    app.form1.slotExeType[36] = 1;

    press(Qt::Key_F1, Qt::NoModifier, 67);
    EXPECT_EQ(waitForFile(out0), "zero\n");
    press(Qt::Key_3);
    press(Qt::Key_F1, Qt::NoModifier, 67);
    EXPECT_EQ(waitForFile(out36), "thirty-six\n");
    EXPECT_EQ(shownPage(), 3);
}

TEST_F(KeyNavigationTest, FunctionKeyOnAMissingProgramIsSwallowed) {
    app.form1.slotPath[0] = dir / "gone";
    app.form1.slotExeType[0] = 1;
    press(Qt::Key_F1);
    EXPECT_FALSE(app.ended);
    EXPECT_EQ(shownPage(), 0);
}

}  // namespace
}  // namespace qlp::linux_desktop
