#pragma once

#include <QEventLoop>
#include <QObject>

namespace inkvale {

// The synchronous form of an asynchronous operation: calls `start`, then handles events until
// `object` emits `signal`, and returns what it carried. Events keep flowing meanwhile, so
// this suits the command-line program and tests, not a window's handler.
template<typename Object, typename Result, typename Start>
Result waitForResult(Object &object, void (Object::*signal)(const Result &), Start start)
{
    Result result{};
    bool done = false; // the operation may end inside start()
    QEventLoop loop;
    QObject::connect(&object, signal, &loop, [&](const Result &value) {
        result = value;
        done = true;
        loop.quit();
    });
    start();
    if (!done) {
        loop.exec();
    }
    return result;
}

} // namespace inkvale
