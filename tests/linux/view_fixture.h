#pragma once
// A launcher on real offscreen widgets, started as the binary starts it.

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

#include "app/startup.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/views/desktop.h"

namespace qlp::linux_desktop::test {

class ViewTest : public ::testing::Test {
protected:
    ViewTest() : platform(dir.path().toStdString()), app(platform), desktop(app, platform) {
        desktop.dispatch([this] { Form_Load(app); });
    }
    ~ViewTest() override {
        // The process stays; the windows go with the desktop.
        app.ended = true;
    }

    // Runs `step` once the widget that `find` looks for is up (a modal loop is
    // running then); gives up after two seconds so a test never hangs.
    static void whenUp(std::function<QWidget*()> find, std::function<void(QWidget*)> step) {
        auto* timer = new QTimer;
        auto* clock = new QElapsedTimer;
        clock->start();
        QObject::connect(timer, &QTimer::timeout, [=] {
            QWidget* w = find();
            if (!w && clock->elapsed() < 2000) return;
            timer->stop();
            timer->deleteLater();
            delete clock;
            if (w) step(w);
        });
        timer->start(10);
    }

    QTemporaryDir dir;
    LinuxPlatform platform;
    Launcher app;
    Desktop desktop;
};

}  // namespace qlp::linux_desktop::test
