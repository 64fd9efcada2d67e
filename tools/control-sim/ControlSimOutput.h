#pragma once
// Where the simulator's lines go: traffic and answers to standard output, complaints to standard
// error. Tests pass their own function to keep the lines.

#include <QString>

#include <functional>

enum class OutputChannel { Out, Err };
// One call is one message; it may span several lines and carries no final newline.
using OutputFunction = std::function<void(OutputChannel, const QString&)>;

// Standard output as it is, standard error with the program's name in front; both flushed at once
// so a reader on a pipe sees each line when it happens.
OutputFunction StandardOutput();
