// Compiled with the imaging library's include path by the layering check:
// an include of a higher folder must not compile.
#include "app/Conversion.h"
