#include "core/Messages.h"

#include "core/ProgramVersion.h"

#include <QCoreApplication>

namespace chartrek {

namespace {
constexpr int kOk = 0, kOkCancel = 1, kYesNoCancel = 3, kYesNo = 4;
constexpr int kStop = 16, kQuestion = 32, kInformation = 64;
} // namespace

MessageStyle messageStyle(MessageKind kind)
{
    const QString title = programTitle();
    switch (kind) {
    case MessageKind::Error:
    case MessageKind::ScanError:
        return {kOk + kStop, title};
    case MessageKind::YesNo:
        return {kYesNo + kQuestion, title};
    case MessageKind::Info:
        return {kOkCancel + kInformation, title};
    case MessageKind::YesNoCancel:
        return {kYesNoCancel + kQuestion, QStringLiteral("Chartrek Version ") + programVersionText()};
    }
    return {kOk, title};
}

void Messages::ShowError(const QString &text)
{
    mSink.show(MessageKind::Error, text);
}

int Messages::AskYesNo(const QString &text)
{
    // Anything but an explicit Yes counts as No: a two-button question has no third answer.
    return mSink.show(MessageKind::YesNo, text) == AnswerYes ? AnswerYes : AnswerNo;
}

void Messages::ShowInfo(const QString &text)
{
    mSink.show(MessageKind::Info, text);
}

int Messages::AskYesNoCancel(const QString &text)
{
    const int answer = mSink.show(MessageKind::YesNoCancel, text);
    return (answer == AnswerYes || answer == AnswerNo) ? answer : AnswerCancel;
}

void Messages::ReportScanError(const QString &operation)
{
    Q_UNUSED(operation);
    mSink.show(MessageKind::ScanError, scanErrorText());
}

QString Messages::scanErrorText()
{
    return QCoreApplication::translate(
        "Messages", "An error occurred while scanning the picture. Maybe there is too little memory. Close some applications.");
}

} // namespace chartrek
