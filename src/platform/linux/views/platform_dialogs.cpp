// Modal things: message box, open-file dialog, popup menus and the slot drag.
#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>

#include "platform/linux/linux_platform.h"
#include "platform/linux/views/desktop.h"
#include "platform/linux/views/main_window.h"

namespace qlp::linux_desktop {

namespace {

// "caption|pattern|caption|pattern|" as Qt name filters, in order. Files here
// often have no extension, so "*.*" stands for every file.
QStringList nameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*")) p = QStringLiteral("*");
        }
        QString caption = parts[i];
        const QString list = patterns.join(QLatin1Char(' '));
        // Qt reads the patterns from the parentheses that end a filter.
        const qsizetype open = caption.lastIndexOf(QLatin1Char('('));
        if (caption.endsWith(QLatin1Char(')')) && open >= 0) {
            caption = caption.left(open + 1) + list + QLatin1Char(')');
        } else {
            caption += QStringLiteral(" (") + list + QLatin1Char(')');
        }
        filters << caption;
    }
    return filters;
}

// A menu caption shows "&" as it is, not as a shortcut mark.
QString menuText(const std::string& caption) {
    return QString::fromStdString(caption).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

void LinuxPlatform::MsgBox(const std::string& text) {
    if (desktop_) desktop_->render();
    QWidget* parent = desktop_ ? &desktop_->mainWindow() : nullptr;
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quillop"), QString::fromStdString(text), QMessageBox::Ok,
                    parent);
    box.exec();
}

std::optional<std::string> LinuxPlatform::ShowOpen(const std::string& filter, unsigned,
                                                  const std::string& initialFile) {
    if (desktop_) desktop_->render();
    QFileDialog dialog(desktop_ ? &desktop_->mainWindow() : nullptr);
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList filters = nameFilters(filter);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) dialog.selectNameFilter(filters.first());
    if (!initialFile.empty()) dialog.selectFile(QString::fromStdString(initialFile));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return std::nullopt;
    return chosen.first().toStdString();
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
        QAction* action = menu.addAction(menuText(e.entry.caption));
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
    // The icon as the slot shows it, held where it was picked up.
    if (!source->pixmap().isNull()) {
        drag->setPixmap(source->pixmap().scaled(source->size()));
        const QPoint at = source->mapFromGlobal(QCursor::pos());
        drag->setHotSpot(QPoint(std::clamp(at.x(), 0, std::max(0, source->width() - 1)),
                                std::clamp(at.y(), 0, std::max(0, source->height() - 1))));
    }
    drag->exec(Qt::MoveAction);
}

}  // namespace qlp::linux_desktop
