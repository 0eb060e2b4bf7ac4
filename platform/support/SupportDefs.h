// Fixed-width types, status codes and small helpers shared by every kit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

#include <Errors.h>

typedef int8_t int8;
typedef uint8_t uint8;
typedef int16_t int16;
typedef uint16_t uint16;
typedef int32_t int32;
typedef uint32_t uint32;
typedef int64_t int64;
typedef uint64_t uint64;

typedef volatile int8 vint8;
typedef volatile uint8 vuint8;
typedef volatile int32 vint32;
typedef volatile uint32 vuint32;
typedef volatile int64 vint64;

typedef int32 status_t;
typedef int64 bigtime_t;
typedef uint32 type_code;
typedef uint32 perform_code;
typedef unsigned char uchar;

#ifndef B_DEFINE_SYMBOL_VERSION
#define B_DEFINE_SYMBOL_VERSION(function, versionedSymbol)
#endif

#define _PACKED __attribute__((packed))
#define _EXPORT __attribute__((visibility("default")))
#define _IMPORT

// Builds a four-character code at compile time: FOURCC("MIDI") == 'MIDI'.
constexpr uint32 FOURCC(const char (&s)[5])
{
	return (uint32(uint8(s[0])) << 24) | (uint32(uint8(s[1])) << 16)
		| (uint32(uint8(s[2])) << 8) | uint32(uint8(s[3]));
}

#ifndef min_c
#define min_c(a, b) ((a) < (b) ? (a) : (b))
#define max_c(a, b) ((a) > (b) ? (a) : (b))
#endif
