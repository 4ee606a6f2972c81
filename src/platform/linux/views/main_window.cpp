#include "platform/linux/views/main_window.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QUrl>
#include <QWindow>

#include "app/startup.h"
#include "launcher/launch.h"
#include "launcher/navigation.h"
#include "platform/linux/views/accessibility.h"
#include "platform/linux/views/desktop.h"
#include "platform/linux/views/key_codes.h"
#include "platform/linux/views/picture_convert.h"
#include "platform/linux/views/screen_placement.h"
#include "platform/linux/views/tray_view.h"
#include "slots/editing.h"
#include "slots/registration.h"
#include "window/window.h"

namespace qlp::linux_desktop {

int buttonBits(Qt::MouseButtons buttons) {
    return ((buttons & Qt::LeftButton) ? 1 : 0) | ((buttons & Qt::RightButton) ? 2 : 0) |
           ((buttons & Qt::MiddleButton) ? 4 : 0);
}

int modifierBits(Qt::KeyboardModifiers m) {
    return ((m & Qt::ShiftModifier) ? 1 : 0) | ((m & Qt::ControlModifier) ? 2 : 0) | ((m & Qt::AltModifier) ? 4 : 0);
}

namespace {

bool isSlotDrag(const QMimeData* mime) { return mime && mime->hasFormat(kSlotMimeType); }

// The slot a drag of our own carries, or -1 when it is not one of ours.
int draggedSlot(const QMimeData* mime) {
    if (!isSlotDrag(mime)) return -1;
    bool ok = false;
    const int slot = QString::fromLatin1(mime->data(kSlotMimeType)).toInt(&ok);
    return ok && slot >= 0 && slot < kSlotCount ? slot : -1;
}

DropData shellDropData(const QMimeData* mime) {
    DropData data;
    if (!mime || !mime->hasUrls()) return data;
    std::vector<std::string> paths;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
    }
    if (!paths.empty()) data.files = std::move(paths);
    return data;
}

void setTextIfChanged(PressArea* label, const std::string& text) {
    const QString q = QString::fromStdString(text);
    if (label->text() != q) label->setText(q);
}

void setGeometryIfChanged(QWidget* w, const QRect& r) {
    if (w->geometry() != r) w->setGeometry(r);
}

}  // namespace

// --- SlotWidget -----------------------------------------------------------

SlotWidget::SlotWidget(Desktop& desktop, int index, QWidget* parent) : QWidget(parent), desktop_(desktop), index_(index) {
    setMouseTracking(true);
    setAcceptDrops(true);
    setObjectName(QStringLiteral("Image1_%1").arg(index));
}

void SlotWidget::setAccessibleText(const QString& text) {
    if (accessibleText_ == text) return;
    accessibleText_ = text;
    announceNameChange(this);
}

void SlotWidget::click() {
    desktop_.dispatch([&] { Image1_Click(desktop_.app(), index_); });
}

void SlotWidget::setPicture(const Picture& picture) {
    shownPicture = picture;
    image_ = QImage();
    update();
}

const QImage& SlotWidget::image() const {
    if (image_.isNull() && shownPicture) image_ = toQImage(*shownPicture);
    return image_;
}

QPixmap SlotWidget::pixmap() const { return image().isNull() ? QPixmap() : QPixmap::fromImage(image()); }

void SlotWidget::paintEvent(QPaintEvent*) {
    if (image().isNull()) return;
    // Every slot stretches its picture to the slot's size.
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), image_);
}

void SlotWidget::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    const QPointF p = event->position();
    desktop_.dispatch([&] {
        Image1_MouseDown(desktop_.app(), index_, buttonBits(event->buttons()), modifierBits(event->modifiers()),
                         desktop_.twipsX(static_cast<int>(p.x())), desktop_.twipsY(static_cast<int>(p.y())));
    });
}

void SlotWidget::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click) this->click();
}

void SlotWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    desktop_.dispatch([&] {
        Image1_MouseMove(desktop_.app(), index_, buttonBits(event->buttons()), modifierBits(event->modifiers()),
                         desktop_.twipsX(static_cast<int>(p.x())), desktop_.twipsY(static_cast<int>(p.y())));
    });
}

void SlotWidget::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* mime = event->mimeData();
    if (isSlotDrag(mime) || mime->hasUrls() || mime->hasText()) event->acceptProposedAction();
}

void SlotWidget::dragMoveEvent(QDragMoveEvent* event) { event->acceptProposedAction(); }

void SlotWidget::dropEvent(QDropEvent* event) {
    const QMimeData* mime = event->mimeData();
    if (isSlotDrag(mime)) {
        const int source = draggedSlot(mime);
        if (source < 0) return;
        const QPointF p = event->position();
        event->acceptProposedAction();
        desktop_.dispatch([&] {
            Image1_DragDrop(desktop_.app(), index_, source, desktop_.twipsX(static_cast<int>(p.x())),
                            desktop_.twipsY(static_cast<int>(p.y())));
        });
        return;
    }
    const DropData data = shellDropData(mime);
    event->acceptProposedAction();
    desktop_.dispatch([&] { Image1_OLEDragDrop(desktop_.app(), index_, data); });
}

// --- PageScrollBar --------------------------------------------------------

PageScrollBar::PageScrollBar(Desktop& desktop, QWidget* parent)
    : QScrollBar(Qt::Vertical, parent), desktop_(desktop) {
    setObjectName(QStringLiteral("VScroll1"));
    setRange(0, kLastPage);
    setSingleStep(1);
    setPageStep(1);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    connect(this, &QScrollBar::valueChanged, this, [this](int value) {
        desktop_.dispatch([&] { setPage(desktop_.app(), value); });
    });
    restTimer_.setInterval(100);
    connect(&restTimer_, &QTimer::timeout, this, [this] { dragOver(lastPos_, 2); });
}

void PageScrollBar::keyPressEvent(QKeyEvent* event) {
    const int code = virtualKeyCode(*event);
    bool handled = false;
    if (code != 0) {
        desktop_.dispatch([&] { handled = VScroll1_KeyDown(desktop_.app(), code, shiftState(*event)); });
    }
    if (!handled) QScrollBar::keyPressEvent(event);
}

void PageScrollBar::contextMenuEvent(QContextMenuEvent* event) {
    // The menu key turns a page (its key press follows this event), so it
    // opens no menu of the scroll bar's own; a right click still does.
    if (event->reason() == QContextMenuEvent::Keyboard) {
        event->accept();
        return;
    }
    QScrollBar::contextMenuEvent(event);
}

void PageScrollBar::dragOver(QPoint pos, int state) {
    lastPos_ = pos;
    desktop_.dispatch([&] {
        VScroll1_DragOver(desktop_.app(), desktop_.twipsX(pos.x()), desktop_.twipsY(pos.y()), state);
    });
}

void PageScrollBar::dragEnterEvent(QDragEnterEvent* event) {
    if (!isSlotDrag(event->mimeData())) return;
    event->acceptProposedAction();
    dragOver(event->position().toPoint(), 0);
    restTimer_.start();
}

void PageScrollBar::dragMoveEvent(QDragMoveEvent* event) {
    if (!isSlotDrag(event->mimeData())) return;
    // Accepted so that the drag keeps reporting; the drop itself does nothing here.
    event->acceptProposedAction();
    dragOver(event->position().toPoint(), 2);
}

void PageScrollBar::dragLeaveEvent(QDragLeaveEvent*) {
    restTimer_.stop();
    dragOver(lastPos_, 1);
}

void PageScrollBar::dropEvent(QDropEvent* event) {
    restTimer_.stop();
    event->ignore();
}

// --- PressArea ------------------------------------------------------------

PressArea::PressArea(Desktop& desktop, Role role, QWidget* parent) : QWidget(parent), desktop_(desktop), role_(role) {}

void PressArea::setText(const QString& text) {
    if (text_ == text) return;
    text_ = text;
    update();
    if (isTextLine()) announceNameChange(this);
}

void PressArea::paintEvent(QPaintEvent*) {
    if (text_.isEmpty()) return;
    QPainter painter(this);
    painter.drawText(rect(), static_cast<int>(alignment_) | Qt::TextSingleLine, text_);
}

void PressArea::mousePressEvent(QMouseEvent* event) {
    const int button = buttonBits(event->buttons());
    const int shift = modifierBits(event->modifiers());
    const float x = desktop_.twipsX(static_cast<int>(event->position().x()));
    const float y = desktop_.twipsY(static_cast<int>(event->position().y()));
    desktop_.dispatch([&] {
        Launcher& app = desktop_.app();
        switch (role_) {
            case Role::Frame1: Frame1_MouseDown(app, button, shift, x, y); break;
            case Role::Label1: Label1_MouseDown(app, button, shift, x, y); break;
            case Role::Ktext: txt_Ktext_MouseDown(app, button, shift, x, y); break;
        }
    });
}

void PressArea::mouseDoubleClickEvent(QMouseEvent* event) {
    if (role_ == Role::Ktext) {
        desktop_.dispatch([&] { txt_Ktext_DblClick(desktop_.app()); });
    } else {
        mousePressEvent(event);
    }
}

// --- MainWindow -----------------------------------------------------------

MainWindow::MainWindow(Desktop& desktop) : QWidget(nullptr), desktop_(desktop) {
    setObjectName(QStringLiteral("Form1"));
    setAttribute(Qt::WA_QuitOnClose, false);
    frame1_ = new PressArea(desktop, PressArea::Role::Frame1, this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    frame1_->setAutoFillBackground(true);
    for (int p = 0; p < kPageCount; ++p) {
        pages_[p] = new QWidget(frame1_);
        pages_[p]->setObjectName(QStringLiteral("Frame_%1").arg(p));
    }
    scroll_ = new PageScrollBar(desktop, frame1_);
    label1_ = new PressArea(desktop, PressArea::Role::Label1, frame1_);
    label1_->setObjectName(QStringLiteral("Label1"));
    ktext_ = new PressArea(desktop, PressArea::Role::Ktext, frame1_);
    ktext_->setObjectName(QStringLiteral("txt_Ktext"));
    QFont small = font();
    small.setPixelSize(11);
    label1_->setFont(small);
    ktext_->setFont(small);
    label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ktext_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

SlotWidget* MainWindow::slot(int i) {
    // A page's slots are made when the page first comes to the front (or a
    // slot is asked for): the window opens with one page's widgets.
    if (!slots_[i]) {
        slots_[i] = new SlotWidget(desktop_, i, pages_[pageOfSlot(i)]);
        renderSlot(i);
        slots_[i]->show();
    }
    return slots_[i];
}

void MainWindow::renderSlot(int i) {
    const Control& c = desktop_.app().form1.Image1[i];
    SlotWidget* w = slots_[i];
    setGeometryIfChanged(w, desktop_.pixelRect(c));
    const QString tip = QString::fromStdString(c.toolTip);
    if (w->toolTip() != tip) w->setToolTip(tip);
    if (w->shownPicture != c.picture) w->setPicture(c.picture);
    const Form1& f = desktop_.app().form1;
    const std::string& note = f.slotNote[i];
    const std::string& path = f.slotPath[i];
    w->setAccessibleText(!note.empty() ? QString::fromStdString(note)
                                       : QString::fromStdString(path.substr(path.find_last_of('/') + 1)));
}

QLineEdit* MainWindow::text2() {
    // Text2 only ever holds the focus for a moment, so it is made when first
    // needed: a text box is the first user of the fonts, which start-up need not wait for.
    if (text2_) return text2_;
    text2_ = new QLineEdit(this);
    text2_->setObjectName(QStringLiteral("Text2"));
    text2_->setGeometry(0, 0, 0, 0);
    text2_->show();
    connect(text2_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty()) return;
        desktop_.dispatch([&] { setText2(desktop_.app(), text.toStdString()); });
    });
    return text2_;
}

void MainWindow::render() {
    const Form1& f = desktop_.app().form1;
    const QString caption = QString::fromStdString(f.caption);
    if (windowTitle() != caption) setWindowTitle(caption);

    // The window's outer size less the border allowance of the window design.
    const QSize client(desktop_.px(f.width - 80), desktop_.pxY(f.height - 250));
    if (client.width() > 0 && client.height() > 0 && size() != client) setFixedSize(client);
    // Where the desktop places windows itself, the position is kept as read and not applied.
    if (windowPlacementAllowed()) {
        const QPoint framePos =
            placeOnScreen(QRect(QPoint(desktop_.px(f.left), desktop_.pxY(f.top)), frameGeometry().size()));
        if (!placed_ || frameGeometry().topLeft() != framePos) {
            move(framePos);
            placed_ = true;
        }
    }

    setGeometryIfChanged(frame1_, desktop_.pixelRect(f.Frame1));
    const int front = frontFrame(f);
    for (int p = 0; p < kPageCount; ++p) {
        setGeometryIfChanged(pages_[p], desktop_.pixelRect(f.Frame[p]));
        pages_[p]->setVisible(p == front);
        if (p == front) pages_[p]->raise();
    }
    for (int i = 0; i < kSlotCount; ++i) {
        // A new widget is brought in line as it is made.
        if (slots_[i]) {
            renderSlot(i);
        } else if (pageOfSlot(i) == front) {
            slot(i);
        }
    }
    setGeometryIfChanged(scroll_, desktop_.pixelRect(f.VScroll1));
    if (scroll_->value() != f.VScroll1.value) {
        const QSignalBlocker block(scroll_);
        scroll_->setValue(f.VScroll1.value);
    }
    setGeometryIfChanged(label1_, desktop_.pixelRect(f.Label1));
    setTextIfChanged(label1_, f.Label1.caption);
    setGeometryIfChanged(ktext_, desktop_.pixelRect(f.txt_Ktext));
    setTextIfChanged(ktext_, f.txt_Ktext.caption);
    if ((text2_ || !f.Text2.text.empty()) && text2()->text() != QString::fromStdString(f.Text2.text)) {
        text2()->setText(QString::fromStdString(f.Text2.text));
    }

    if (isEnabled() != f.enabled) setEnabled(f.enabled);
    renderVisibility(f);
    const bool minimized = windowState() & Qt::WindowMinimized;
    if (f.visible) {
        if (f.windowState == WindowState::Minimized && !minimized) showMinimized();
        if (f.windowState == WindowState::Normal && minimized) showNormal();
    }
    // Focus is given when the state asks for it, not taken back at every render.
    if (f.visible && f.focus != appliedFocus_) {
        appliedFocus_ = f.focus;
        if (f.focus == Focus::VScroll1) {
            activateWindow();
            scroll_->setFocus(Qt::OtherFocusReason);
        } else if (f.focus == Focus::Text2) {
            text2()->setFocus(Qt::OtherFocusReason);
        }
    }
}

void MainWindow::showFirstTime() {
    if (shownOnce_) {
        show();
        return;
    }
    shownOnce_ = true;
    // The contents are shown right after the window is mapped, before its
    // first paint: shown with it, the first of them would make Qt set up its
    // accessibility bridge (a session bus connection) before the map request.
    frame1_->hide();
    show();
    frame1_->show();
}

void MainWindow::renderVisibility(const Form1& f) {
    if (f.visible) {
        if (minimisedForTray_) {
            minimisedForTray_ = false;
            showNormal();
        } else if (!isVisible()) {
            showFirstTime();
        }
        return;
    }
    if (desktop_.tray().canHideToTray()) {
        if (minimisedForTray_) {
            // Out of the task bar and into the notification area, shown normal next time.
            minimisedForTray_ = false;
            hide();
            setWindowState(windowState() & ~Qt::WindowMinimized);
        } else if (isVisible()) {
            hide();
        }
        return;
    }
    // Hiding now would leave no way back to the window.
    if (!minimisedForTray_) {
        minimisedForTray_ = true;
        if (isVisible()) {
            showMinimized();
        } else {
            setWindowState(windowState() | Qt::WindowMinimized);
            showFirstTime();
        }
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    desktop_.closeBySystem();
    event->accept();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // The user or the window manager moved the window: the state follows, but
    // only when the pixel position differs, so rounding never drifts it.
    if (!windowPlacementAllowed()) return;
    const Form1& f = desktop_.app().form1;
    const QPoint pos = frameGeometry().topLeft();
    const float left = pos.x() != desktop_.px(f.left) ? desktop_.twipsX(pos.x()) : f.left;
    const float top = pos.y() != desktop_.pxY(f.top) ? desktop_.twipsY(pos.y()) : f.top;
    setFormPosition(desktop_.app(), left, top);
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    Launcher& app = desktop_.app();
    if (minimisedForTray_ && !(windowState() & Qt::WindowMinimized)) {
        // The user brought the window back from the task bar: it is shown again.
        minimisedForTray_ = false;
        setFormShown(app);
    }
    if (windowState() & Qt::WindowMinimized) {
        setFormWindowState(app, WindowState::Minimized);
    } else if (windowState() & Qt::WindowMaximized) {
        setFormWindowState(app, WindowState::Maximized);
    } else {
        setFormWindowState(app, WindowState::Normal);
    }
}

}  // namespace qlp::linux_desktop
