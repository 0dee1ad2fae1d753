// The debugger output: OutputDebugStringA on Windows; elsewhere the text as one
// line on standard error. Never fails towards the caller.
#ifndef ZANT_DEBUG_OUTPUT_H
#define ZANT_DEBUG_OUTPUT_H

void zant_debug_output(const char* text);

#endif  // ZANT_DEBUG_OUTPUT_H
