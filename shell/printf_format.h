// Lets the compiler check a printf-style function's format against its arguments.
// MinGW's GCC is told the format is GNU's: the C++ runtime prints through MinGW's own
// stdio there, which takes the same formats as glibc's.
#pragma once

#if defined(__MINGW32__)
#define PRINTF_FORMAT(format_index, first_argument) __attribute__((format(gnu_printf, format_index, first_argument)))
#elif defined(__GNUC__)
#define PRINTF_FORMAT(format_index, first_argument) __attribute__((format(printf, format_index, first_argument)))
#else
#define PRINTF_FORMAT(format_index, first_argument)
#endif
