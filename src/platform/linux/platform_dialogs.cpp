// Modal things: message box, open-file dialog, popup menus and the slot drag.
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>

#include "platform/linux/desktop.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/main_window.h"

namespace qlp::linux_desktop {

void LinuxPlatform::MsgBox(const std::string& text) {
    if (desktop_) desktop_->render();
    QWidget* parent = desktop_ ? &desktop_->mainWindow() : nullptr;
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quillop"), QString::fromStdString(text), QMessageBox::Ok,
                    parent);
    box.exec();
}

std::optional<std::string> LinuxPlatform::ShowOpen(const std::string&, unsigned, const std::string&) {
    return std::nullopt;
}

std::optional<MenuId> LinuxPlatform::PopupMenu(PopupMenuName, const std::vector<PopupEntry>& entries) {
    if (desktop_) desktop_->render();
    QMenu menu(desktop_ ? &desktop_->mainWindow() : nullptr);
    std::map<QAction*, MenuId> ids;
    for (const PopupEntry& e : entries) {
        if (!e.entry.visible) continue;
        if (e.entry.isSeparator()) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(QString::fromStdString(e.entry.caption));
        action->setCheckable(e.entry.checked);
        action->setChecked(e.entry.checked);
        action->setEnabled(e.entry.enabled);
        ids[action] = e.id;
    }
    QAction* chosen = menu.exec(QCursor::pos());
    if (!chosen) return std::nullopt;
    return ids.at(chosen);
}

void LinuxPlatform::Drag(int slot) {
    if (!desktop_) return;
    desktop_->render();
    SlotWidget* source = desktop_->mainWindow().slot(slot);
    auto* drag = new QDrag(source);
    auto* mime = new QMimeData;
    mime->setData(kSlotMimeType, QByteArray::number(slot));
    drag->setMimeData(mime);
    if (!source->pixmap().isNull()) drag->setPixmap(source->pixmap().scaled(source->size()));
    drag->exec(Qt::MoveAction);
}

}  // namespace qlp::linux_desktop
