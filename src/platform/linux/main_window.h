#pragma once
// The main window Form1: ten page frames of twelve slot images, the page
// scroll bar, the page number and the description line.

#include <array>

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>

#include "model/launcher.h"
#include "platform/linux/window_stacking.h"

namespace qlp::linux_desktop {

class Desktop;

inline constexpr const char* kSlotMimeType = "application/x-quillop-slot";

// Mouse buttons and modifiers as bit sets: 1 left, 2 right, 4 middle; 1 shift, 2 control, 4 alt.
int buttonBits(Qt::MouseButtons buttons);
int modifierBits(Qt::KeyboardModifiers modifiers);

class SlotWidget : public QLabel {
public:
    SlotWidget(Desktop& desktop, int index, QWidget* parent);
    int index() const { return index_; }
    // The picture last shown, so a render only converts a picture that changed.
    Picture shownPicture;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    Desktop& desktop_;
    int index_;
    bool pressed_ = false;
};

class PageScrollBar : public QScrollBar {
public:
    PageScrollBar(Desktop& desktop, QWidget* parent);
    bool rendering = false;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void dragOver(QPoint pos, int state);
    Desktop& desktop_;
    // While a dragged slot rests over the scroll bar, the drag-over keeps running.
    QTimer restTimer_;
    QPoint lastPos_;
};

// A label or frame whose mouse presses go to a handler.
class PressArea : public QLabel {
public:
    enum class Role { Frame1, Label1, Ktext };
    PressArea(Desktop& desktop, Role role, QWidget* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    Desktop& desktop_;
    Role role_;
};

class MainWindow : public QWidget {
public:
    explicit MainWindow(Desktop& desktop);
    void render();

    SlotWidget* slot(int i) { return slots_[i]; }
    QWidget* page(int p) { return pages_[p]; }
    PageScrollBar* scrollBar() { return scroll_; }
    QLabel* pageLabel() { return label1_; }
    QLabel* descriptionLine() { return ktext_; }
    WindowStacking& stacking() { return stacking_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QRect twipsRect(const Control& c) const;
    void renderVisibility(const Form1& f);
    Desktop& desktop_;
    PressArea* frame1_;
    std::array<QWidget*, kPageCount> pages_{};
    std::array<SlotWidget*, kSlotCount> slots_{};
    PageScrollBar* scroll_;
    PressArea* label1_;
    PressArea* ktext_;
    QLineEdit* text2_;
    bool placed_ = false;
    Focus appliedFocus_ = Focus::None;
    WindowStacking stacking_{*this};
    // Hidden by the core while the desktop has no notification area, and so
    // minimised instead: it stays on the task bar.
    bool minimisedForTray_ = false;
};

}  // namespace qlp::linux_desktop
