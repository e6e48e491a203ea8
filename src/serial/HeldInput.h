#pragma once

#include <QByteArray>

#include <utility>

namespace heldinput {

// Hands out the waiting bytes: all of them for input length 0, else at most that many, the rest
// kept in *waiting for the next read, in order. The rule of both serial lines' input().
inline QByteArray take(QByteArray* waiting, int inputLen) {
    QByteArray data = std::exchange(*waiting, {});
    if (inputLen > 0 && data.size() > inputLen) {
        *waiting = data.mid(inputLen);
        data.truncate(inputLen);
    }
    return data;
}

} // namespace heldinput
