// Compiled by the layering check with the include paths of the conversion
// and of runs, where it must not compile, and with the form's own, where it
// must.
#include "form/MainForm.h"
