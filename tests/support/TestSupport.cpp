#include "TestSupport.h"

#include "app/SingleInstance.h"

#include <QSignalSpy>
#include <QThread>

#include <memory>

namespace chartrek::test {

bool handOverFromAnotherThread(const QString &path)
{
    bool ok = false;
    std::unique_ptr<QThread> thread(QThread::create([&ok, path] { ok = SingleInstance().sendHandOver(path); }));
    QSignalSpy finished(thread.get(), &QThread::finished);
    thread->start();
    if (!finished.wait(10000))
        qFatal("hand-over thread hung");
    return ok;
}

int RecordingSink::show(MessageKind kind, const QString &text)
{
    shown.append({kind, text});
    if (whileShown)
        whileShown();
    return answers.isEmpty() ? AnswerOk : answers.takeFirst();
}

QStringList RecordingSink::texts() const
{
    QStringList out;
    for (const Shown &s : shown)
        out << s.text;
    return out;
}

} // namespace chartrek::test

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace chartrek::test {

namespace {
constexpr unsigned kOverrideCaps = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

bool setEffective(bool keepOverride)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    if (keepOverride)
        data[0].effective |= kOverrideCaps & data[0].permitted;
    else
        data[0].effective &= ~kOverrideCaps;
    return syscall(SYS_capset, &header, data) == 0;
}
} // namespace

WithoutPermissionOverride::WithoutPermissionOverride()
{
    if (geteuid() == 0)
        mChanged = setEffective(false);
}

WithoutPermissionOverride::~WithoutPermissionOverride()
{
    if (mChanged)
        setEffective(true);
}

} // namespace chartrek::test
