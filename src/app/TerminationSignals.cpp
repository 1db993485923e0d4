#include "app/TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace chartrek {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT};

// The pipe from the signal handler to the event loop.
int gPipe[2] = {-1, -1};

// Only async-signal-safe calls here: the signal's number goes into the pipe, nothing else.
void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const char number = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(gPipe[1], &number, 1);
    errno = savedErrno;
}

void handleWith(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : kSignals)
        sigaction(signalNumber, &action, nullptr);
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    if (::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    mNotifier = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, this);
    connect(mNotifier, &QSocketNotifier::activated, this, &TerminationSignals::takeSignal);
    handleWith(onSignal);
}

TerminationSignals::~TerminationSignals()
{
    if (!mNotifier)
        return;
    handleWith(SIG_DFL);
    ::close(gPipe[0]);
    ::close(gPipe[1]);
    gPipe[0] = gPipe[1] = -1;
}

void TerminationSignals::takeSignal()
{
    char number = 0;
    if (::read(gPipe[0], &number, 1) != 1 || mReceived)
        return;
    mReceived = true;
    mExitCode = 128 + number;
    // Whoever takes longer than the person sending a second signal wants is not waited for.
    handleWith(SIG_DFL);
    emit terminationRequested(number);
    // Every loop is left, the innermost first: a helper being waited for is stopped, a dialog
    // closes as cancelled, and main() returns.
    QCoreApplication::exit(mExitCode);
}

} // namespace chartrek
