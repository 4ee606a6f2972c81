#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QMouseEvent>

#include "linux/view_fixture.h"
#include "options/options.h"
#include "platform/linux/views/main_window.h"
#include "platform/linux/views/options_dialog_view.h"
#include "slots/editing.h"

namespace qlp::linux_desktop::test {
namespace {

class OptionsView : public ViewTest {
protected:
    OptionsDialogView& dialog() { return desktop.options(); }
    void open() { desktop.dispatch([this] { op_Click(app); }); }
};

TEST_F(OptionsView, PixelGeometryAt96Dpi) {
    ASSERT_EQ(desktop.twipsPerPixelX(), 15.0f) << "the offscreen screen is expected at 96 dpi";
    open();
    ASSERT_TRUE(dialog().isVisible());
    EXPECT_EQ(dialog().windowTitle(), QStringLiteral("Qlp Option"));
    EXPECT_EQ(dialog().size(), QSize(83, 149));
    const struct {
        QWidget* widget;
        QRect rect;
    } cases[] = {
        {dialog().sizeFrame(), {0, 0, 81, 113}},  {dialog().sliderW(), {24, 16, 40, 17}},
        {dialog().sliderH(), {8, 32, 17, 40}},    {dialog().preview(), {24, 32, 16, 16}},
        {dialog().sizeLabel(), {8, 72, 65, 17}},  {dialog().applyButton(), {8, 88, 65, 20}},
        {dialog().moveCheck(), {0, 120, 81, 25}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.widget->geometry(), c.rect) << c.widget->objectName().toStdString();
    EXPECT_EQ(dialog().sizeFrame()->title(), QStringLiteral("ｱｲｺﾝのｻｲｽﾞ"));
    EXPECT_EQ(dialog().applyButton()->text(), QStringLiteral("変更"));
    EXPECT_EQ(dialog().moveCheck()->caption(), QStringLiteral("アイコンの移動をする"));
    EXPECT_EQ(dialog().sliderH()->orientation(), Qt::Vertical);
    EXPECT_EQ(dialog().sliderW()->orientation(), Qt::Horizontal);
    for (QSlider* s : {dialog().sliderH(), dialog().sliderW()}) {
        EXPECT_EQ(s->minimum(), 135);
        EXPECT_EQ(s->maximum(), 490);
        EXPECT_EQ(s->singleStep(), 15);
        EXPECT_EQ(s->pageStep(), 15);
    }
}

TEST_F(OptionsView, SliderMovesThePreviewButNotTheWindowUntilApplied) {
    open();
    const QSize slotBefore = desktop.mainWindow().slot(0)->size();
    const QSize windowBefore = desktop.mainWindow().size();

    dialog().sliderH()->setValue(300);
    dialog().sliderW()->setValue(450);

    EXPECT_EQ(app.form2.SliderH.value, 300);
    EXPECT_EQ(dialog().preview()->size(), QSize(30, 20));
    EXPECT_EQ(dialog().sizeLabel()->text(), QStringLiteral("20,30"));
    EXPECT_EQ(desktop.mainWindow().slot(0)->size(), slotBefore);
    EXPECT_EQ(desktop.mainWindow().size(), windowBefore);

    dialog().applyButton()->click();
    EXPECT_EQ(desktop.mainWindow().slot(0)->size(), QSize(30, 20));
    EXPECT_EQ(desktop.mainWindow().slot(11)->geometry(), QRect(150, 20, 30, 20));
    EXPECT_NE(desktop.mainWindow().size(), windowBefore);
}

TEST_F(OptionsView, ClosingHidesAndReenablesTheMenuEntry) {
    open();
    EXPECT_FALSE(app.form1.op.enabled);
    dialog().sliderH()->setValue(200);
    EXPECT_FALSE(dialog().close());
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_FALSE(app.form2.visible);
    EXPECT_TRUE(app.form1.op.enabled);
    open();
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_EQ(dialog().sliderH()->value(), 200);
}

TEST_F(OptionsView, CheckBoxAndMenuEntryFollowEachOther) {
    open();
    dialog().moveCheck()->click();
    EXPECT_EQ(app.form2.iCheck.value, 1);
    EXPECT_TRUE(app.form1.imove.checked);
    desktop.dispatch([this] { imove_Click(app); });
    EXPECT_FALSE(dialog().moveCheck()->isChecked());
    EXPECT_FALSE(app.form1.imove.checked);

    // A click on the wrapped caption toggles it as well.
    QWidget* box = dialog().moveCheck();
    const QPointF at(box->width() - 5, box->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, box->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, box->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(box, &press);
    QApplication::sendEvent(box, &release);
    EXPECT_EQ(app.form2.iCheck.value, 1);
    EXPECT_TRUE(app.form1.imove.checked);
}

TEST_F(OptionsView, BrowseOffersTheFourFiltersAndStoresTheChoice) {
    const QString file = dir.filePath(QStringLiteral("run"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    app.form1.dropSlot = 7;
    app.form1.CommonDialog1_FileName = file.toStdString();
    QStringList filters;
    QString selectedFilter;
    QStringList offered;
    whenUp([] { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); },
           [&](QWidget* w) {
               auto* d = static_cast<QFileDialog*>(w);
               filters = d->nameFilters();
               selectedFilter = d->selectedNameFilter();
               offered = d->selectedFiles();
               static_cast<QDialog*>(d)->accept();
           });
    desktop.dispatch([this] { Command2_Click(app); });

    EXPECT_EQ(filters, (QStringList{QStringLiteral("すべてのファイル (*)"), QStringLiteral("テキスト ファイル (*.txt)"),
                                    QStringLiteral("バッチ ファイル (*.bat)"), QStringLiteral("実行ファイル(*.exe)")}));
    EXPECT_EQ(selectedFilter, filters.value(0));
    EXPECT_EQ(offered, QStringList{file});
    EXPECT_EQ(app.form1.slotPath[7], file.toStdString());
}

TEST_F(OptionsView, BrowseCancelledChangesNothing) {
    app.form1.dropSlot = 7;
    app.form1.slotPath[7] = "/old";
    bool shown = false;
    whenUp([] { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); },
           [&](QWidget* w) {
               shown = true;
               static_cast<QFileDialog*>(w)->reject();
           });
    desktop.dispatch([this] { Command2_Click(app); });
    EXPECT_TRUE(shown);
    EXPECT_EQ(app.form1.slotPath[7], "/old");
}

}  // namespace
}  // namespace qlp::linux_desktop::test
