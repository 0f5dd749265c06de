#include "machine/MachineConnection.h"

#include "machine/GrblLink.h"

MachineConnection::MachineConnection(QObject* parent) : QObject(parent) {
    thread_.setObjectName("grbl");
    link_ = new GrblLink;
    link_->moveToThread(&thread_);
    connect(link_, &GrblLink::connected, this, [this](const GrblInfo& info) {
        info_ = info;
        connected_ = true;
        emit connected();
    });
    connect(link_, &GrblLink::infoChanged, this, [this](const GrblInfo& info) { info_ = info; });
    connect(link_, &GrblLink::connectionFailed, this, [this](const std::string& message) {
        open_ = connected_ = jobRunning_ = false;
        emit connectionFailed(message);
    });
    connect(link_, &GrblLink::disconnected, this, [this](const std::string& reason) {
        open_ = connected_ = jobRunning_ = false;
        emit disconnected(reason);
    });
    connect(link_, &GrblLink::statusChanged, this, [this](const GrblStatus& status) {
        status_ = status;
        if (status.offsetReported) offsetKnown_ = true;
        emit statusChanged();
    });
    connect(link_, &GrblLink::progress, this, &MachineConnection::progress);
    connect(link_, &GrblLink::jobFinished, this, [this] {
        jobRunning_ = false;
        emit jobFinished();
    });
    connect(link_, &GrblLink::jobStopped, this, [this](const JobStop& stop) {
        jobRunning_ = false;
        emit jobStopped(stop);
    });
    connect(link_, &GrblLink::alarm, this, &MachineConnection::alarm);
    connect(link_, &GrblLink::commandFailed, this, &MachineConnection::commandFailed);
    connect(link_, &GrblLink::feedback, this, &MachineConnection::feedback);
    connect(link_, &GrblLink::watchdog, this, &MachineConnection::watchdog);
    connect(link_, &GrblLink::probed, this, &MachineConnection::probed);
    thread_.start();
    // The serial port is a high-priority thread's: window work cannot hold it up.
    thread_.setPriority(QThread::HighPriority);
}

MachineConnection::~MachineConnection() {
    GrblLink* link = link_;
    QMetaObject::invokeMethod(
        link, [link] { delete link; }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

void MachineConnection::open(const QString& port, int baud) {
    open_ = true;
    connected_ = jobRunning_ = offsetKnown_ = false;
    info_ = GrblInfo{};
    status_ = GrblStatus{};
    GrblLink* link = link_;
    QMetaObject::invokeMethod(link, [link, port, baud] { link->open(port, baud); });
}

void MachineConnection::close() {
    open_ = connected_ = jobRunning_ = false;
    GrblLink* link = link_;
    QMetaObject::invokeMethod(link, [link] { link->close(); });
}

void MachineConnection::closeSafely() {
    GrblLink* link = link_;
    QMetaObject::invokeMethod(link, [link] { link->closeSafely(); });
}

void MachineConnection::cancelJog() {
    GrblLink* link = link_;
    QMetaObject::invokeMethod(link, [link] { link->cancelJog(); });
}

void MachineConnection::command(const std::string& line) {
    GrblLink* link = link_;
    QMetaObject::invokeMethod(link, [link, line] { link->command(line); });
}

void MachineConnection::realtime(const std::string& bytes) {
    GrblLink* link = link_;
    QMetaObject::invokeMethod(link, [link, bytes] { link->realtime(bytes); });
}

void MachineConnection::start(const MachineJob& job) {
    if (!connected_ || jobRunning_) return;
    jobRunning_ = true;
    GrblLink* link = link_;
    QMetaObject::invokeMethod(link, [link, job] { link->startJob(job); });
}

void MachineConnection::stop() {
    GrblLink* link = link_;
    QMetaObject::invokeMethod(link, [link] { link->stop(); });
}

void MachineConnection::reset() {
    GrblLink* link = link_;
    QMetaObject::invokeMethod(link, [link] { link->reset(); });
}

std::size_t MachineConnection::mostBytesInFlight() const {
    std::size_t most = 0;
    GrblLink* link = link_;
    QMetaObject::invokeMethod(
        link, [link, &most] { most = link->mostBytesInFlight(); }, Qt::BlockingQueuedConnection);
    return most;
}
