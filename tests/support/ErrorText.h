#pragma once
// The message an error of type E carries out of a call; empty when the call
// claims success.
#include "common/Errors.h"

#include <QString>
#include <functional>

namespace lumetta::test {

template <typename E>
QString MessageOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const E &e) {
        return e.message();
    }
    return {};
}

} // namespace lumetta::test
