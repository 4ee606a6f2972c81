#pragma once
// SIGTERM, SIGINT and SIGHUP, and the end of the desktop session, close the
// window as the system would: the full shutdown runs once and saves.

#include <memory>

class QSocketNotifier;

namespace qlp::linux_desktop {

class Desktop;

class SystemSignals {
public:
    explicit SystemSignals(Desktop& desktop);
    ~SystemSignals();
    SystemSignals(const SystemSignals&) = delete;
    SystemSignals& operator=(const SystemSignals&) = delete;

private:
    Desktop& desktop_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace qlp::linux_desktop
