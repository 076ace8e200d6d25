// Guards the one place where a settings-file text is used as a wsprintfA
// format: the early-build warning, which passes exactly one integer.
#pragma once

// Nonzero when format holds at most one integer conversion (%d, %i, %u, %x or
// %X, with optional flags '-', '0', '#' and a width of at most 255) and no
// other conversion; "%%" is a literal percent sign. Any other format would
// make wsprintfA read an argument that was never passed.
int IsSingleIntegerFormat(const char* format);
