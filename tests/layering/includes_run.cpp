// Compiled by the layering check with the include paths of the conversion
// and of playing, where it must not compile, and with the runs' own, where
// it must.
#include "run/RunPlan.h"
