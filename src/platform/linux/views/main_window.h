#pragma once
// The main window Form1: ten page frames of twelve slot images, the page
// scroll bar, the page number and the description line.

#include <array>

#include <QLabel>
#include <QLineEdit>
#include <QImage>
#include <QPixmap>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>

#include "model/launcher.h"
#include "platform/linux/views/window_stacking.h"

namespace qlp::linux_desktop {

class Desktop;

inline constexpr const char* kSlotMimeType = "application/x-quillop-slot";

// Mouse buttons and modifiers as bit sets: 1 left, 2 right, 4 middle; 1 shift, 2 control, 4 alt.
int buttonBits(Qt::MouseButtons buttons);
int modifierBits(Qt::KeyboardModifiers modifiers);

// A slot image: shows its picture stretched to the slot's size.
class SlotWidget : public QWidget {
public:
    SlotWidget(Desktop& desktop, int index, QWidget* parent);
    int index() const { return index_; }
    // The picture last shown, so a render only converts a picture that changed.
    Picture shownPicture;
    void setPicture(const Picture& picture);
    // The picture shown, null for none.
    QPixmap pixmap() const;
    // What a screen reader hears: the slot's description, else its file name.
    const QString& accessibleText() const { return accessibleText_; }
    void setAccessibleText(const QString& text);
    // A click as the mouse gives it (a screen reader's press).
    void click();

protected:
    void paintEvent(QPaintEvent* event) override;
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
    QString accessibleText_;
    // The picture as Qt draws it, made when first needed: most slots are on
    // pages not in front, and many are never looked at.
    const QImage& image() const;
    mutable QImage image_;
};

class PageScrollBar : public QScrollBar {
public:
    PageScrollBar(Desktop& desktop, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
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

// A label or frame whose mouse presses go to a handler. It paints its own one
// line of text, so nothing about fonts is settled before the window is on the screen.
class PressArea : public QWidget {
public:
    enum class Role { Frame1, Label1, Ktext };
    PressArea(Desktop& desktop, Role role, QWidget* parent);
    const QString& text() const { return text_; }
    void setText(const QString& text);
    void setAlignment(Qt::Alignment alignment) { alignment_ = alignment; }
    // The page number and the description line are read out as text.
    bool isTextLine() const { return role_ != Role::Frame1; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    Desktop& desktop_;
    Role role_;
    QString text_;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
};

class MainWindow : public QWidget {
public:
    explicit MainWindow(Desktop& desktop);
    void render();

    SlotWidget* slot(int i);
    QWidget* page(int p) { return pages_[p]; }
    PageScrollBar* scrollBar() { return scroll_; }
    PressArea* pageLabel() { return label1_; }
    PressArea* descriptionLine() { return ktext_; }
    WindowStacking& stacking() { return stacking_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showFirstTime();
    // Brings slot i's widget in line with the state.
    void renderSlot(int i);
    void renderVisibility(const Form1& f);
    Desktop& desktop_;
    PressArea* frame1_;
    std::array<QWidget*, kPageCount> pages_{};
    std::array<SlotWidget*, kSlotCount> slots_{};
    PageScrollBar* scroll_;
    PressArea* label1_;
    PressArea* ktext_;
    QLineEdit* text2();
    QLineEdit* text2_ = nullptr;
    bool placed_ = false;
    bool shownOnce_ = false;
    Focus appliedFocus_ = Focus::None;
    WindowStacking stacking_{*this};
    // Hidden by the core while the desktop has no notification area, and so
    // minimised instead: it stays on the task bar.
    bool minimisedForTray_ = false;
};

}  // namespace qlp::linux_desktop
