#pragma once

#include <QObject>

class QSocketNotifier;

namespace chartrek {

// Ends the program cleanly on SIGTERM (a session ending, a kill) and SIGINT (Ctrl+C in the
// terminal): the signal becomes an event of the event loop, where terminationRequested() is
// emitted and then every event loop is left, so that the program unwinds as on any other end:
// helpers are stopped, temporary files and the single-instance socket removed. A second signal
// ends the program at once. One instance at a time.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    // True once a signal has been taken; the program must not start its event loop then.
    bool received() const { return mReceived; }
    // The exit code of a program ended by a signal, as the shell counts it.
    int exitCode() const { return mExitCode; }

signals:
    // Runs before the program ends: whatever must be saved is saved here, in a direct connection.
    void terminationRequested(int signalNumber);

private:
    void takeSignal();

    QSocketNotifier *mNotifier = nullptr;
    bool mReceived = false;
    int mExitCode = 0;
};

} // namespace chartrek
