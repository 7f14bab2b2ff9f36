// The control of the layering check: the same include path reaches the
// library's own folder and the folders below it.
#include "base/Stream.h"
#include "imaging/GIFImage.h"
