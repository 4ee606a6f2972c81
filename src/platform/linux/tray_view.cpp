#include "platform/linux/tray_view.h"

#include <cstring>

#include "platform/linux/desktop.h"
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
    available_ = probe();
    poll_.setInterval(kAvailabilityPollMs);
    QObject::connect(&poll_, &QTimer::timeout, &poll_, [this] { checkAvailability(); });
    poll_.start();
    apply();
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
            deliver(kWmRButtonDown);
            return;
        default:
            return;
    }
}

void TrayView::deliver(unsigned message) {
    // The shell's message number reaches the core as the x position, in twips.
    const float x = static_cast<float>(message) * desktop_.twipsPerPixelX();
    desktop_.dispatch([&] { TaskPicture_MouseMove(desktop_.app(), 0, 0, x, 0); });
}

}  // namespace qlp::linux_desktop
