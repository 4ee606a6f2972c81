#include "platform/linux/views/tray_view.h"

#include <cstring>

#include "app/startup.h"
#include "menu/menu.h"
#include "platform/linux/views/desktop.h"
#include "slots/editing.h"
#include "window/window.h"

// The icons are compiled into this static library; without a reference the
// linker would leave them out.
static void initIconResources() { Q_INIT_RESOURCE(quillop_icons); }

namespace qlp::linux_desktop {

namespace {

inline constexpr std::uint32_t kNifIcon = 2;
inline constexpr std::uint32_t kNifTip = 4;
inline constexpr int kAvailabilityPollMs = 2000;

QIcon loadIcon(const char* state) {
    initIconResources();
    QIcon icon;
    for (int size : {16, 32}) {
        icon.addFile(QStringLiteral(":/quillop/icons/quillop-%1-%2.png").arg(QLatin1String(state)).arg(size),
                     QSize(size, size));
    }
    return icon;
}

QString tipText(const NotifyIconData& data) {
    const std::size_t length = strnlen(data.szTip.data(), data.szTip.size());
    return QString::fromUtf8(data.szTip.data(), static_cast<qsizetype>(length));
}

// A menu caption shows "&" as it is, not as a shortcut mark.
QString menuText(const std::string& caption) {
    return QString::fromStdString(caption).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

TrayView::TrayView(Desktop& desktop) : desktop_(desktop) {}

TrayView::~TrayView() = default;

void TrayView::start() {
    if (icon_) return;
    shownIcon_ = loadIcon("shown");
    hiddenIcon_ = loadIcon("hidden");
    icon_ = std::make_unique<QSystemTrayIcon>();
    QObject::connect(icon_.get(), &QSystemTrayIcon::activated, icon_.get(),
                     [this](QSystemTrayIcon::ActivationReason reason) { activated(reason); });
    attachMenu();
    available_ = probe();
    poll_.setInterval(kAvailabilityPollMs);
    QObject::connect(&poll_, &QTimer::timeout, &poll_, [this] { checkAvailability(); });
    poll_.start();
    apply();
}

void TrayView::attachMenu() {
    // A StatusNotifierItem host shows the item's exported menu on a right
    // click and tells the program nothing, so there the icon carries the tray
    // menu. Qt exports a menu it is given only on such a host, and gives the
    // menu its D-Bus form as it does; an XEmbed tray keeps reporting the
    // click, and the core opens the menu as on the Windows desktop.
    menu_ = std::make_unique<QMenu>();
    menu_->setObjectName(QStringLiteral("Tcom"));
    fillMenu();
    QObject::connect(menu_.get(), &QMenu::aboutToShow, menu_.get(), [this] { fillMenu(); });
    const bool nativeBefore = menu_->platformMenu() != nullptr;
    icon_->setContextMenu(menu_.get());
    const bool carried = nativeBefore || menu_->platformMenu() != nullptr;
    // Qt's XEmbed icon would open a menu it carries by itself, besides the core's.
    if (!carried) icon_->setContextMenu(nullptr);
}

void TrayView::fillMenu() {
    if (desktop_.app().ended) return;
    const std::vector<PopupEntry> entries = popupEntries(desktop_.app().form1, PopupMenuName::Tcom);
    const QList<QAction*> actions = menu_->actions();
    bool same = actions.size() == static_cast<qsizetype>(entries.size());
    for (qsizetype i = 0; same && i < actions.size(); ++i) {
        const MenuEntry& e = entries[static_cast<std::size_t>(i)].entry;
        same = actions[i]->text() == menuText(e.caption) && actions[i]->isEnabled() == e.enabled &&
               actions[i]->isVisible() == e.visible;
    }
    // An exported menu tells the host of every change, so an unchanged one is left alone.
    if (same) return;
    menu_->clear();
    for (const PopupEntry& e : entries) {
        QAction* action = menu_->addAction(menuText(e.entry.caption));
        action->setEnabled(e.entry.enabled);
        action->setVisible(e.entry.visible);
        const MenuId id = e.id;
        QObject::connect(action, &QAction::triggered, menu_.get(),
                         [this, id] { desktop_.dispatch([&] { menu_Click(desktop_.app(), id); }); });
    }
}

void TrayView::apply() {
    if (!icon_) return;
    icon_->setIcon(hiddenState_ ? hiddenIcon_ : shownIcon_);
    icon_->setToolTip(tip_);
    // Qt embeds the icon when it is shown, so it is shown again once a
    // notification area is there.
    icon_->setVisible(present_ && available_);
}

bool TrayView::notify(NotifyMessage message, const NotifyIconData& data) {
    switch (message) {
        case NotifyMessage::Add:
            if (present_) return false;
            hiddenState_ = data.hIcon == TrayIcon::Hidden;
            tip_ = tipText(data);
            present_ = true;
            break;
        case NotifyMessage::Modify:
            if (!present_) return false;
            if (data.uFlags & kNifIcon) hiddenState_ = data.hIcon == TrayIcon::Hidden;
            if (data.uFlags & kNifTip) tip_ = tipText(data);
            break;
        case NotifyMessage::Delete:
            if (!present_) return false;
            present_ = false;
            break;
        default:
            return false;
    }
    apply();
    return true;
}

bool TrayView::probe() const { return probe_ ? probe_() : QSystemTrayIcon::isSystemTrayAvailable(); }

void TrayView::setAvailabilityProbe(std::function<bool()> probe) {
    probe_ = std::move(probe);
    start();
    checkAvailability();
}

void TrayView::checkAvailability() {
    if (!icon_) return;
    const bool now = probe();
    if (now == available_) return;
    available_ = now;
    apply();
    // A hidden window must stay reachable: minimised while there is no
    // notification area, in it again once one appears.
    if (!desktop_.app().ended) desktop_.render();
}

void TrayView::activated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            deliver(kWmLButtonDown);
            return;
        case QSystemTrayIcon::DoubleClick:
            deliver(kWmLButtonDblClk);
            return;
        case QSystemTrayIcon::Context:
            // A host that shows the carried menu itself never asks; one that
            // cannot asks here and gets the core's menu. Qt may also have
            // opened the carried menu itself: then that one is the menu.
            if (menu_->isVisible()) return;
            deliver(kWmRButtonDown);
            return;
        default:
            return;
    }
}

void TrayView::deliver(unsigned message) {
    // Posted, as the shell posts its callback message: what the core does
    // next (a popup menu running its own loop, an end that removes the icon)
    // must not run inside the icon's own event handler, whose widget the
    // removal deletes.
    QMetaObject::invokeMethod(
        icon_.get(), [this, message] { handle(message); }, Qt::QueuedConnection);
}

void TrayView::handle(unsigned message) {
    // The shell's message number reaches the core as the x position, in twips.
    const float x = static_cast<float>(message) * desktop_.twipsPerPixelX();
    desktop_.dispatch([&] { TaskPicture_MouseMove(desktop_.app(), 0, 0, x, 0); });
}

}  // namespace qlp::linux_desktop
