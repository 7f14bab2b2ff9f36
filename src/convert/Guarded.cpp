#include "convert/Guarded.h"

#include <new>
#include <stdexcept>

namespace movara::convert {

TConvertOutcome ConvertGuarded(const TConvertOptions& options, IConvertProgress* progress,
                               TConvertOutcome (*convert)(const TConvertOptions&, IConvertProgress*)) {
  TConvertOutcome failed;
  failed.Movie = options.Movie;
  failed.Code = crLoadError;
  try {
    return convert(options, progress);
  } catch (const std::bad_alloc&) {
    failed.Reason = "out of memory";
  } catch (const std::length_error& e) {
    failed.Reason = e.what();
  }
  return failed;
}

}  // namespace movara::convert
