// What every scripted screen answers from: replies queued by the test
// before the flow asks, taken in order.
#pragma once

#include <deque>
#include <optional>
#include <string>

namespace bq::test {

// Replies given in advance; once they run out, every question gets `otherwise`.
template <typename Reply>
class Replies : public std::deque<Reply> {
  public:
    using std::deque<Reply>::deque;
    using std::deque<Reply>::operator=;

    Reply Next(Reply otherwise = Reply{}) {
        if (this->empty()) return otherwise;
        Reply reply = std::move(this->front());
        this->pop_front();
        return reply;
    }
};

// A file dialog's reply: the next queued name, where an empty one, or none, cancels.
template <typename Name>
std::optional<Name> NextFile(Replies<Name>& files) {
    Name file = files.Next();
    if (file == Name{}) return std::nullopt;
    return file;
}

}  // namespace bq::test
