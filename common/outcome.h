#pragma once
// How an operation whose failure a user sees says that it failed, and why: readers, selection
// files, reports, command-line options and scripts all answer with an Outcome, so that whoever
// shows the failure (a message box, standard error, a script's "FILE:LINE: ...") finds the same
// parts in the same places.
#include <optional>
#include <string>
#include <utility>

namespace common {

// What went wrong, in the words the user is shown.
struct Failure {
    Failure() = default;
    explicit Failure(std::string message, std::string detail = {}, std::optional<long> line = {})
        : message(std::move(message)), detail(std::move(detail)), line(line) {}

    // The text shown, complete: where it concerns a line of a file it names that line itself.
    std::string message;
    // Shown beside the message when not empty: a path with the system's reason, or the file
    // and the place where reading stopped.
    std::string detail;
    // The line of the input that the message or detail names, where it names one: for a
    // program that needs the number rather than the text (a check, a fuzz harness).
    std::optional<long> line;
};

// Done, or a Failure. A Failure converts to an Outcome, so that an operation can end with
// `return Failure(...);` and a caller can pass on what it was given.
// (Not called Status: X11's headers define that name as a macro.)
class [[nodiscard]] Outcome {
  public:
    Outcome() = default;  // done
    Outcome(Failure failure) : failure_(std::move(failure)) {}

    bool ok() const { return !failure_; }
    // The failure; an empty one when the operation was done (so that reading it is never
    // undefined, even in a check that expected a failure and got none).
    const Failure& failure() const {
        static const Failure none;
        return failure_ ? *failure_ : none;
    }

  private:
    std::optional<Failure> failure_;
};

}  // namespace common
