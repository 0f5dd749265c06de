#pragma once

#include <QObject>
#include <QString>
#include <QThread>
#include <array>
#include <cstddef>
#include <string>

#include "machine/GrblReplies.h"
#include "machine/MachineJob.h"

class GrblLink;

// The sender as the window and the command line use it: GRBL on its own
// thread (GrblLink), called from the caller's thread, its news brought back
// there as signals, the latest status kept for reading.
class MachineConnection final : public QObject {
    Q_OBJECT
  public:
    explicit MachineConnection(QObject* parent = nullptr);
    ~MachineConnection() override;

    static constexpr int kDefaultBaud = 115200;

    void open(const QString& port, int baud = kDefaultBaud);
    // Closes the port at once, whatever the machine does.
    void close();
    // Stops whatever moves or runs (hold, then reset once it stands), then
    // closes; isOpen() holds until `disconnected` says it is done.
    void closeSafely();
    void command(const std::string& line);
    void realtime(const std::string& bytes);
    void cancelJog();
    void start(const MachineJob& job);
    void stop();
    void reset();

    bool isOpen() const { return open_; }
    bool isConnected() const { return connected_; }
    bool jobRunning() const { return jobRunning_; }
    const GrblInfo& info() const { return info_; }
    const GrblStatus& status() const { return status_; }
    // A status report with the work offset has come since connecting.
    bool offsetKnown() const { return offsetKnown_; }
    std::size_t mostBytesInFlight() const;

  signals:
    void connected();
    void connectionFailed(const std::string& message);
    void disconnected(const std::string& reason);
    void statusChanged();
    // Program lines the machine has run, of the program's lines.
    void progress(std::size_t executed, std::size_t total);
    void jobFinished();
    void jobStopped(const JobStop& stop);
    void alarm(int code);
    void commandFailed(const std::string& command, int code);
    void feedback(const std::string& line);
    void watchdog(bool silent);
    void probed(const std::array<double, 3>& machine, bool touched);

  private:
    QThread thread_;
    GrblLink* link_ = nullptr;
    bool open_ = false;
    bool connected_ = false;
    bool jobRunning_ = false;
    bool offsetKnown_ = false;
    GrblInfo info_;
    GrblStatus status_;
};
