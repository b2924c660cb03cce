// The whole message of the Error an action throws, for tests that compare
// every byte a user would be shown.
#pragma once

#include <string>

#include "platform/error.h"

namespace bq::test {

// The message of the Error that `action` throws, or "no error".
template <typename Action>
std::string ErrorText(Action&& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace bq::test
