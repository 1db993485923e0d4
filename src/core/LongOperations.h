#pragma once

#include <QObject>

namespace chartrek {

// Counts the long operations under way (drawing a metafile, an Autoline trace). They let window
// events run while they work; whatever must not happen inside them (a hand-over from a second
// start) waits until `ended`.
class LongOperations : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // One long operation, from construction to destruction.
    class Scope {
    public:
        explicit Scope(LongOperations &operations) : mOperations(operations) { mOperations.begin(); }
        ~Scope() { mOperations.end(); }
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        LongOperations &mOperations;
    };

    void begin() { ++mCount; }
    void end()
    {
        if (mCount > 0 && --mCount == 0)
            emit ended();
    }
    bool running() const { return mCount > 0; }

signals:
    // The last long operation under way has ended.
    void ended();

private:
    int mCount = 0;
};

} // namespace chartrek
