#include "TestSupport.h"

namespace chartrek::test {

int RecordingSink::show(MessageKind kind, const QString &text)
{
    shown.append({kind, text});
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
