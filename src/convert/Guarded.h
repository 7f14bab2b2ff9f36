#pragma once

#include "convert/Convert.h"

namespace movara::convert {

// Runs one file's conversion once the steps every kind of file shares are
// done: a movie to keep that exists is kept, and a movie name longer than
// its folder allows fails before the file is read. What does not fit in
// memory or in a movie's fields is this file's failure (crLoadError with the
// reason), so that the run it is part of goes on.
TConvertOutcome ConvertGuarded(const TConvertOptions& options, IConvertProgress* progress,
                               TConvertOutcome (*convert)(const TConvertOptions&, IConvertProgress*));

}  // namespace movara::convert
