#pragma once

#include <iosfwd>

#include "views/HistoryText.h"

namespace orvelle {

// `orvelle --history`: prints one line per day with work, oldest first, from the history, which
// it opens read-only; the open session counts up to now. It needs no display and writes nothing.
class HistoryCommand {
public:
    // Prints the last `count` days with work on `output`. Returns the exit status: 1, with one
    // line on `diagnostics`, when the history cannot be read.
    static int run(int count, HistoryFormat format, std::ostream& output,
                   std::ostream& diagnostics);
};

}  // namespace orvelle
