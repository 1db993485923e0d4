#include "picture/MetafileDecoder.h"

#include "picture/FileChecks.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace chartrek {

namespace {

QString headerProblem(const QByteArray &head, qint64 fileSize)
{
    switch (checkMetafileHeader(head, fileSize)) {
    case MetafileHeader::NotMetafile:
        return PictureTexts::tr("The file is not a Windows Metafile, or its header is damaged.");
    case MetafileHeader::Incomplete:
        return PictureTexts::tr("The Windows Metafile is incomplete.");
    case MetafileHeader::Sound:
        break;
    }
    return {};
}

} // namespace

MetafileSettings &metafileSettings()
{
    static MetafileSettings settings;
    return settings;
}

void limitHelper(QProcess &helper, const HelperLimits &limits)
{
    helper.setProcessChannelMode(QProcess::SeparateChannels);
    helper.setStandardInputFile(QProcess::nullDevice());
    const pid_t parent = ::getpid();
    helper.setChildProcessModifier([limits, parent] {
        // Runs in the child between fork and exec: only async-signal-safe calls here.
        // The helper dies with the program, even one killed outright; a program already gone
        // before this point leaves it to end at once.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        const rlimit memory{rlim_t(limits.memoryBytes), rlim_t(limits.memoryBytes)};
        const rlimit cpu{rlim_t(limits.cpuSeconds), rlim_t(limits.cpuSeconds)};
        const rlimit output{rlim_t(limits.outputBytes), rlim_t(limits.outputBytes)};
        const rlimit core{0, 0};
        setrlimit(RLIMIT_AS, &memory);
        setrlimit(RLIMIT_CPU, &cpu);
        setrlimit(RLIMIT_FSIZE, &output);
        setrlimit(RLIMIT_CORE, &core);
    });
}

HelperWait waitBlocking(QProcess &helper, int timeoutMs)
{
    return helper.state() == QProcess::NotRunning || helper.waitForFinished(timeoutMs) ? HelperWait::Finished
                                                                                       : HelperWait::TimedOut;
}

LoadedPicture decodeMetafile(const QString &fileName, const HelperWaiter &wait)
{
    const MetafileSettings settings = metafileSettings();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return LoadedPicture::failure(
            PictureTexts::tr("The file %1 cannot be read: %2").arg(fileName, file.errorString()));
    const QString problem = headerProblem(file.read(64), file.size());
    if (!problem.isEmpty())
        return LoadedPicture::failure(problem);
    file.close();

    QTemporaryDir dir;
    if (!dir.isValid())
        return LoadedPicture::failure(
            PictureTexts::tr("No temporary folder for drawing the metafile: %1").arg(dir.errorString()));
    const QString output = dir.filePath(QStringLiteral("metafile.png"));

    QProcess converter;
    limitHelper(converter, {settings.memoryBytes, settings.cpuSeconds, settings.outputBytes});
    converter.start(settings.program, {QStringLiteral("-t"), QStringLiteral("png"), QStringLiteral("-o"), output,
                                       fileName});
    if (!converter.waitForStarted(settings.timeoutMs))
        return LoadedPicture::failure(PictureTexts::tr("The metafile converter %1 could not be started: %2")
                          .arg(settings.program, converter.errorString()));
    const HelperWait outcome = wait(converter, settings.timeoutMs);
    if (outcome != HelperWait::Finished) {
        converter.kill();
        converter.waitForFinished(1000);
        if (outcome == HelperWait::Cancelled)
            return {LoadStatus::Cancelled, {}, PictureTexts::tr("Drawing the metafile was cancelled.")};
        return LoadedPicture::failure(PictureTexts::tr("Drawing the metafile took too long and was stopped."));
    }
    if (converter.exitStatus() != QProcess::NormalExit || converter.exitCode() != 0) {
        const QString detail = QString::fromLocal8Bit(converter.readAllStandardError()).trimmed().left(300);
        return LoadedPicture::failure(detail.isEmpty() ? PictureTexts::tr("The metafile could not be drawn.")
                                       : PictureTexts::tr("The metafile could not be drawn: %1").arg(detail));
    }
    LoadedPicture drawn = loadPicture(output);
    if (drawn.status == LoadStatus::Failed)
        drawn.error = PictureTexts::tr("The metafile could not be drawn: %1").arg(drawn.error);
    return drawn;
}

} // namespace chartrek
