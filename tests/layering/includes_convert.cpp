// Compiled by the layering check with the include path of a library below
// the conversion, where it must not compile, and with the conversion's own,
// where it must.
#include "convert/Convert.h"
