#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <string>

#include "app/startup.h"
#include "descriptions/descriptions.h"
#include "launcher/navigation.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/views/description_dialog_view.h"
#include "platform/linux/views/desktop.h"
#include "platform/linux/views/main_window.h"

namespace qlp::linux_desktop {
namespace {

class DescriptionDialog : public ::testing::Test {
protected:
    QTemporaryDir dir;
    LinuxPlatform platform{dir.path().toStdString()};
    Launcher app{platform};
    Desktop desktop{app, platform};
    Form1& f = app.form1;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        desktop.dispatch([&] { Form_Load(app); });
        f.slotPath[4] = "/usr/bin/true";
        f.menuSlot = 4;
    }

    DescriptionDialogView& view() { return desktop.descriptions(); }
    void openIcon() {
        desktop.dispatch([&] { sWrite_Click(app); });
    }
    void openPage() {
        desktop.dispatch([&] { PSwrite_Click(app); });
    }

    static void type(QWidget* w, const QString& text) {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &release);
        }
    }
    static void commit(QWidget* w, const QString& text) {
        QInputMethodEvent compose(text, {});
        QApplication::sendEvent(w, &compose);
        QInputMethodEvent done;
        done.setCommitString(text);
        QApplication::sendEvent(w, &done);
    }
    static void key(QWidget* w, Qt::Key k) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
    }
};

TEST_F(DescriptionDialog, PanelsAndGeometryAt96Dpi) {
    ASSERT_FLOAT_EQ(desktop.twipsPerPixelX(), 15);
    ASSERT_FLOAT_EQ(desktop.twipsPerPixelY(), 15);
    EXPECT_FALSE(view().window()->isVisible());

    openIcon();
    QWidget* w = view().window();
    ASSERT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Quillop "));
    EXPECT_EQ(w->size(), QSize(172, 76));
    EXPECT_TRUE(view().iconPanel()->isVisible());
    EXPECT_FALSE(view().pagePanel()->isVisible());

    const struct {
        QWidget* widget;
        QRect geometry;
        QString caption;
    } icon[] = {
        {view().iconPanel(), QRect(0, 0, 177, 89), {}},
        {view().iconLabel(), QRect(8, 8, 145, 25), QStringLiteral("このｱｲｺﾝの説明")},
        {view().iconText(), QRect(8, 24, 161, 18), {}},
        {view().iconOk(), QRect(64, 48, 49, 25), QStringLiteral("OK")},
        {view().iconCancel(), QRect(120, 48, 49, 25), QStringLiteral("Cancel")},
        {view().pagePanel(), QRect(0, 0, 177, 89), {}},
        {view().pageLabel(), QRect(8, 8, 145, 25), QStringLiteral("このページの説明")},
        {view().pageText(), QRect(8, 24, 161, 18), {}},
        {view().pageOk(), QRect(64, 48, 49, 25), QStringLiteral("OK")},
        {view().pageCancel(), QRect(120, 48, 49, 25), QStringLiteral("Cancel")},
    };
    for (const auto& c : icon) {
        SCOPED_TRACE(c.widget->objectName().toStdString());
        EXPECT_EQ(c.widget->geometry(), c.geometry);
        if (auto* label = qobject_cast<QLabel*>(c.widget)) {
            EXPECT_EQ(label->text(), c.caption);
        }
        if (auto* button = qobject_cast<QPushButton*>(c.widget)) {
            EXPECT_EQ(button->text(), c.caption);
        }
    }
    // The panels are larger than the window and cut off by it.
    EXPECT_GT(view().iconPanel()->width(), w->width());
    EXPECT_GT(view().iconPanel()->height(), w->height());

    desktop.dispatch([&] { form3::Command2_Click(app); });
    openPage();
    EXPECT_TRUE(view().pagePanel()->isVisible());
    EXPECT_FALSE(view().iconPanel()->isVisible());
}

TEST_F(DescriptionDialog, TabOrderRunsThroughTheBoxThenOkThenCancel) {
    QWidget* const chain[] = {view().iconText(), view().iconOk(), view().iconCancel(),
                              view().pageText(), view().pageOk(), view().pageCancel()};
    for (std::size_t i = 0; i + 1 < std::size(chain); ++i) {
        QWidget* next = chain[i]->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
        EXPECT_EQ(next, chain[i + 1]) << chain[i]->objectName().toStdString();
    }
    for (QWidget* w : {static_cast<QWidget*>(view().iconLabel()), static_cast<QWidget*>(view().iconPanel()),
                       static_cast<QWidget*>(view().pageLabel()), static_cast<QWidget*>(view().pagePanel())}) {
        EXPECT_EQ(w->focusPolicy(), Qt::NoFocus) << w->objectName().toStdString();
    }
}

TEST_F(DescriptionDialog, IconBoxRefusesTheTwentyFirstCharacter) {
    const struct {
        const char* name;
        void (*fill)(QWidget*);
        std::string expected;
    } cases[] = {
        {"typed latin", [](QWidget* w) { type(w, QStringLiteral("abcdefghijklmnopqrstu")); }, "abcdefghijklmnopqrst"},
        {"typed japanese", [](QWidget* w) { type(w, QStringLiteral("あいうえおかきくけこさしすせそたちつてとな")); },
         "あいうえおかきくけこさしすせそたちつてと"},
        {"committed one by one",
         [](QWidget* w) {
             type(w, QStringLiteral("0123456789"));
             for (const QChar c : QStringLiteral("日本語の説明を書きます")) commit(w, QString(c));
         },
         "0123456789日本語の説明を書きま"},
        {"one long commit",
         [](QWidget* w) {
             type(w, QStringLiteral("abcdefghijklmnop"));
             commit(w, QStringLiteral("漢字変換"));
             commit(w, QStringLiteral("終"));
         },
         "abcdefghijklmnop漢字変換"},
        {"commit cut to fit",
         [](QWidget* w) {
             type(w, QStringLiteral("abcdefghijklmnopq"));
             commit(w, QStringLiteral("漢字変換"));
         },
         "abcdefghijklmnopq漢字変"},
        {"characters outside the basic plane count one",
         [](QWidget* w) {
             type(w, QStringLiteral("abcdefghijklmnopqrs"));
             commit(w, QString::fromUtf8("\xF0\x9F\x98\x80\xF0\x9F\x98\x80"));
         },
         "abcdefghijklmnopqrs\xF0\x9F\x98\x80"},
        {"pasted",
         [](QWidget* w) {
             static_cast<QLineEdit*>(w)->insert(QStringLiteral("ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷ"));
         },
         "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        openIcon();
        QLineEdit* box = view().iconText();
        ASSERT_EQ(box->text(), QString());
        c.fill(box);
        EXPECT_EQ(app.form3.Text1.text, c.expected);
        EXPECT_EQ(box->text().toStdString(), c.expected);
        EXPECT_EQ(codePointCount(box->text()), 20);
        desktop.dispatch([&] { form3::Command2_Click(app); });
    }
}

TEST_F(DescriptionDialog, InsertionInTheMiddleKeepsWhatFollows) {
    openIcon();
    QLineEdit* box = view().iconText();
    type(box, QStringLiteral("abcdefghijklmnopqr"));
    box->setCursorPosition(2);
    commit(box, QStringLiteral("一二三"));
    EXPECT_EQ(app.form3.Text1.text, "ab一二cdefghijklmnopqr");
}

TEST_F(DescriptionDialog, ALongerStoredDescriptionIsShownWholeAndCanOnlyShrink) {
    const std::string longNote = "これは二十文字を超える長い説明文で手で書かれたもの";
    f.slotNote[4] = longNote;
    openIcon();
    QLineEdit* box = view().iconText();
    EXPECT_EQ(box->text().toStdString(), longNote);
    box->end(false);
    type(box, QStringLiteral("x"));
    EXPECT_EQ(app.form3.Text1.text, longNote);
    key(box, Qt::Key_Backspace);
    EXPECT_EQ(codePointCount(box->text()), codePointCount(QString::fromStdString(longNote)) - 1);
    type(box, QStringLiteral("y"));
    EXPECT_EQ(codePointCount(box->text()), codePointCount(QString::fromStdString(longNote)) - 1);
}

TEST_F(DescriptionDialog, PageBoxTakesLongTexts) {
    openPage();
    const QString text(300, QChar(0x30DA));
    view().pageText()->insert(text);
    EXPECT_EQ(QString::fromStdString(app.form3.Text2.text), text);
}

TEST_F(DescriptionDialog, EnterStoresAndCloses) {
    openIcon();
    type(view().iconText(), QStringLiteral("メモ帳"));
    key(view().iconText(), Qt::Key_Return);
    EXPECT_EQ(f.slotNote[4], "メモ帳");
    EXPECT_FALSE(view().window()->isVisible());
    EXPECT_TRUE(desktop.mainWindow().isEnabled());

    desktop.dispatch([&] { setPage(app, 3); });
    openPage();
    type(view().pageText(), QStringLiteral("ゲーム"));
    key(view().pageText(), Qt::Key_Enter);
    EXPECT_EQ(f.pageNote[3], "ゲーム");
    EXPECT_FALSE(view().window()->isVisible());
}

TEST_F(DescriptionDialog, MainWindowRefusesInputUntilEveryWayOut) {
    const struct {
        const char* name;
        bool icon;
        void (*leave)(DescriptionDialogView&);
        bool stored;
    } cases[] = {
        {"icon OK", true, [](DescriptionDialogView& v) { v.iconOk()->click(); }, true},
        {"icon Cancel", true, [](DescriptionDialogView& v) { v.iconCancel()->click(); }, false},
        {"icon Enter", true, [](DescriptionDialogView& v) { key(v.iconText(), Qt::Key_Return); }, true},
        {"icon close box", true, [](DescriptionDialogView& v) { v.window()->close(); }, false},
        {"page OK", false, [](DescriptionDialogView& v) { v.pageOk()->click(); }, true},
        {"page Cancel", false, [](DescriptionDialogView& v) { v.pageCancel()->click(); }, false},
        {"page Enter", false, [](DescriptionDialogView& v) { key(v.pageText(), Qt::Key_Return); }, true},
        {"page close box", false, [](DescriptionDialogView& v) { v.window()->close(); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        f.slotNote[4] = "before";
        f.pageNote[0] = "before";
        ASSERT_TRUE(desktop.mainWindow().isEnabled());
        c.icon ? openIcon() : openPage();
        ASSERT_TRUE(view().window()->isVisible());
        EXPECT_FALSE(desktop.mainWindow().isEnabled());
        EXPECT_FALSE(desktop.mainWindow().scrollBar()->isEnabled());
        QLineEdit* box = c.icon ? view().iconText() : view().pageText();
        EXPECT_EQ(box->text(), QStringLiteral("before"));
        box->selectAll();
        type(box, QStringLiteral("after"));

        c.leave(view());
        EXPECT_TRUE(desktop.mainWindow().isEnabled());
        EXPECT_TRUE(desktop.mainWindow().scrollBar()->isEnabled());
        EXPECT_FALSE(view().window()->isVisible());
        const std::string& note = c.icon ? f.slotNote[4] : f.pageNote[0];
        EXPECT_EQ(note, c.stored ? "after" : "before");
    }
}

TEST_F(DescriptionDialog, CloseBoxThenReopeningShowsAFreshForm) {
    f.slotNote[4] = "stored";
    openIcon();
    type(view().iconText(), QStringLiteral(" typed"));
    view().window()->close();
    EXPECT_FALSE(app.form3.loaded);
    EXPECT_EQ(view().iconText()->text(), QString());

    openIcon();
    EXPECT_TRUE(app.form3.loaded);
    EXPECT_TRUE(view().window()->isVisible());
    EXPECT_EQ(view().iconText()->text(), QStringLiteral("stored"));
}

}  // namespace
}  // namespace qlp::linux_desktop
