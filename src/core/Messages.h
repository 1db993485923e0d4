#pragma once

#include <QString>

namespace chartrek {

// The five kinds of message the program shows. Each fixes its buttons, icon and title.
enum class MessageKind { Error, YesNo, Info, YesNoCancel, ScanError };

// Answers as the message routines return them.
enum MessageAnswer : int { AnswerOk = 1, AnswerCancel = 2, AnswerYes = 6, AnswerNo = 7 };

// What a kind of message looks like: the style value is the classic message-box flag set
// (buttons + icon), kept so that a recording sink can be checked against it.
struct MessageStyle {
    int style;
    QString title;
};
MessageStyle messageStyle(MessageKind kind);

// Where messages go: a modal box on screen in the program, a recorder in tests.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows the message and returns the answer (one of MessageAnswer).
    virtual int show(MessageKind kind, const QString &text) = 0;
};

// The message routines every subsystem calls; a caller supplies only the text.
class Messages {
public:
    explicit Messages(MessageSink &sink) : mSink(sink) {}

    void ShowError(const QString &text);
    int AskYesNo(const QString &text);             // AnswerYes or AnswerNo
    void ShowInfo(const QString &text);            // OK and Cancel only close the box
    int AskYesNoCancel(const QString &text);       // AnswerYes, AnswerNo or AnswerCancel
    // The error handler of the pixel probe and the recovery dialog. The operation's name
    // is for the record only; the caller always goes on with its next statement.
    void ReportScanError(const QString &operation);

    static QString scanErrorText();

private:
    MessageSink &mSink;
};

} // namespace chartrek
