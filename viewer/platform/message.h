#pragma once
// Messages to the user. Every message is written as one line to standard error; a windowed
// program additionally installs a presenter that shows it in a box.
#include <functional>
#include <string>

#include "common/outcome.h"

namespace quillon::platform {

// Shows `text` with the title `caption` (the box has no owner and an OK button). A `detail`
// (such as a file's path and the system's reason) shows on a second line of the box, and in
// brackets after the text on standard error.
void messageBox(const std::string& text, const std::string& caption,
                const std::string& detail = "");
// Shows `text` with the caption "Warning!", then ends the process with exit code 1. Only the
// program's entries call it (main, the window's start-up); deeper code returns a failure.
[[noreturn]] void fatal(const std::string& text, const std::string& detail = "");
// The same for a failure: its message, with its detail.
void messageBox(const common::Failure& failure, const std::string& caption);
[[noreturn]] void fatal(const common::Failure& failure);

// The presenter shows a message after it has been written to standard error; none is
// installed by default (console and headless use). Returns the previous presenter.
using MessagePresenter = std::function<void(const std::string& text, const std::string& caption)>;
MessagePresenter setMessagePresenter(MessagePresenter presenter);

}  // namespace quillon::platform
