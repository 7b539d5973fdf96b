#pragma once

namespace inkvale::platform {

enum class StandardStream { Output, Error };

// Whether the stream goes to a terminal (a console on Windows) a person watches, rather than
// to a file or a pipe; only then is a line that redraws itself in place worth printing.
bool isTerminal(StandardStream stream);

} // namespace inkvale::platform
