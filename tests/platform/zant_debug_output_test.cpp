// The debugger output: on Windows (under Wine in the 64-bit build) the text
// must reach OutputDebugStringA, whose text a vectored exception handler sees
// as the debug-print exception; elsewhere it is one line on standard error.
#include <gtest/gtest.h>

#include <string>

#if defined(_WIN32)
#include <windows.h>
#ifndef DBG_PRINTEXCEPTION_WIDE_C
#define DBG_PRINTEXCEPTION_WIDE_C 0x4001000AL
#endif
#endif

#include "platform/zant_debug_output.h"

namespace {

#if defined(_WIN32)

std::string debuggerText;

// Stands in for a debugger: takes each text OutputDebugStringA raises.
LONG CALLBACK takeDebugText(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C) {
        debuggerText += reinterpret_cast<const char*>(record->ExceptionInformation[1]);
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_WIDE_C) {
        for (const wchar_t* c = reinterpret_cast<const wchar_t*>(record->ExceptionInformation[1]);
             *c != L'\0'; ++c) {
            debuggerText += static_cast<char>(*c);
        }
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

std::string debugOutputOf(const char* text) {
    debuggerText.clear();
    void* handler = AddVectoredExceptionHandler(1, takeDebugText);
    zant_debug_output(text);
    RemoveVectoredExceptionHandler(handler);
    return debuggerText;
}

// OutputDebugStringA takes the text as it is.
const std::string lineEnd;

#else

std::string debugOutputOf(const char* text) {
    testing::internal::CaptureStderr();
    zant_debug_output(text);
    return testing::internal::GetCapturedStderr();
}

// One line each.
const std::string lineEnd = "\n";

#endif

TEST(DebugOutput, PassesTheTextWhole) {
    const std::string text = "textGet: value returned \"text\" was not the value requested";
    EXPECT_EQ(debugOutputOf(text.c_str()), text + lineEnd);
}

TEST(DebugOutput, NullTextIsTheEmptyText) {
    EXPECT_EQ(debugOutputOf(nullptr), lineEnd);
}

}  // namespace
