#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

// Lets events run until `done` holds or `seconds` pass; false on the timeout.
// Generous times: the suite runs on a busy computer.
inline bool waitUntil(const std::function<bool()>& done, int seconds = 30) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > seconds * 1000LL) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return true;
}
