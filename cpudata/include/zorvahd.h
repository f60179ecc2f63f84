/* The CPU data library: keeps the hardware data file Zorv.ahd in the registry
 * and names the machine's processor from it.
 *
 * Store: WriteCPUInfoIntoRegistry copies Zorv.ahd (found in the directory of
 * libzorvahd.so) byte for byte, still scrambled, into the REG_BINARY value
 * "DATA" of HKEY_LOCAL_MACHINE\SOFTWARE\ZORV\ZORVAHD.
 *
 * Lookup: the first DoYouKnowThisCPU of a process searches that value for the
 * processor described by a DMI processor record; every later call answers the
 * first outcome. The getters answer from it and may be called any number of
 * times; before any lookup they answer as for a failed one.
 *
 * The library keeps global, unguarded state: call it from one thread at a time.
 * It never prints and never ends the process. */
#ifndef ZORVAHD_H
#define ZORVAHD_H

#include <stddef.h>
#include <stdint.h>

#if defined(__GNUC__) && !defined(_WIN32)
#define ZORVAHD_API __attribute__((visibility("default")))
#else
#define ZORVAHD_API
#endif
/* The calling convention of the exports: stdcall on 32-bit Windows, where
 * the module-definition file exports the undecorated names; the platform's
 * default elsewhere. */
#if defined(_WIN32) && !defined(_WIN64)
#define ZORVAHD_CALL __stdcall
#else
#define ZORVAHD_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Size of the DMI processor record that DoYouKnowThisCPU reads. */
#define ZORVAHD_DMI_PROCESSOR_RECORD_SIZE 114
/* Offsets inside that record (little-endian). */
#define ZORVAHD_DMI_FAMILY_OFFSET 35
/* Processor Family 2 (16 bits), read only when the family byte is 0xFE: the
 * DMI library puts it in the record's first two bytes for a family that has
 * no 8-bit code. */
#define ZORVAHD_DMI_FAMILY2_OFFSET 0
#define ZORVAHD_DMI_ID0_OFFSET 66
#define ZORVAHD_DMI_ID1_OFFSET 67
#define ZORVAHD_DMI_CURRENT_SPEED_OFFSET 110

/* Bytes a name buffer must hold: at most 19 characters and the zero. */
#define ZORVAHD_NAME_SIZE 20

/* One processor record of the data file, 38 bytes, exactly as stored.
 * Bytes marked reserved are not interpreted. */
typedef struct ZorvCpuDataRecord {
    char name[ZORVAHD_NAME_SIZE]; /*  0: zero-terminated; the library's copy always ends in a zero */
    uint8_t family;               /* 20: DMI processor family code; 0xFE: see family2 */
    uint8_t reserved21[6];        /* 21 */
    uint8_t id1;                  /* 27: second processor ID byte, 0 = any */
    uint8_t id0;                  /* 28: first processor ID byte, 0 = any */
    uint8_t reserved29;           /* 29 */
    uint16_t speed_mhz;           /* 30: little-endian, as in the file */
    uint8_t selector;             /* 32 */
    uint8_t reserved33;           /* 33 */
    uint8_t offset;               /* 34: GetCPUOffset */
    uint8_t nominal;              /* 35: GetCPUNominal */
    uint16_t family2;             /* 36: Processor Family 2 when family is 0xFE, else not read */
} ZorvCpuDataRecord;

#ifdef __cplusplus
#define ZORVAHD_STATIC_ASSERT static_assert
#else
#define ZORVAHD_STATIC_ASSERT _Static_assert
#endif
ZORVAHD_STATIC_ASSERT(sizeof(ZorvCpuDataRecord) == 38, "processor record is 38 bytes");
ZORVAHD_STATIC_ASSERT(offsetof(ZorvCpuDataRecord, family) == 20, "family at 20");
ZORVAHD_STATIC_ASSERT(offsetof(ZorvCpuDataRecord, id1) == 27, "second ID byte at 27");
ZORVAHD_STATIC_ASSERT(offsetof(ZorvCpuDataRecord, id0) == 28, "first ID byte at 28");
ZORVAHD_STATIC_ASSERT(offsetof(ZorvCpuDataRecord, speed_mhz) == 30, "speed at 30");
ZORVAHD_STATIC_ASSERT(offsetof(ZorvCpuDataRecord, selector) == 32, "selector at 32");
ZORVAHD_STATIC_ASSERT(offsetof(ZorvCpuDataRecord, offset) == 34, "offset at 34");
ZORVAHD_STATIC_ASSERT(offsetof(ZorvCpuDataRecord, nominal) == 35, "nominal at 35");
ZORVAHD_STATIC_ASSERT(offsetof(ZorvCpuDataRecord, family2) == 36, "Processor Family 2 at 36");
#undef ZORVAHD_STATIC_ASSERT

/* Copies Zorv.ahd from the library's directory into the registry value.
 * Returns 1 when the file was read (whether the registry write succeeded is
 * not examined), 0 when it cannot be opened, sized or held in memory; the
 * registry is then left as it was. */
ZORVAHD_API int32_t ZORVAHD_CALL WriteCPUInfoIntoRegistry(void);

/* dmiProcessorRecord: ZORVAHD_DMI_PROCESSOR_RECORD_SIZE bytes owned by the
 * caller, read only during the call; null finds nothing. The low byte of
 * selector must equal the selector byte of the records meant (1 for the
 * shipped file). Returns 1 when the lookup found a processor record, else 0.
 * Only the first call of a process searches. */
ZORVAHD_API int32_t ZORVAHD_CALL DoYouKnowThisCPU(const void* dmiProcessorRecord, int32_t selector);

/* buffer: at least ZORVAHD_NAME_SIZE bytes owned by the caller (the monitor
 * passes 80). Writes the found name and returns 1, or writes the empty string
 * and returns 0. A null buffer returns 0. */
ZORVAHD_API int32_t ZORVAHD_CALL GetCPUName(char* buffer);

/* The found record's offset value (0-255), or -1 when none was found. */
ZORVAHD_API int32_t ZORVAHD_CALL GetCPUOffset(void);

/* The found record's nominal value (0-255), or -1 when none was found. */
ZORVAHD_API int32_t ZORVAHD_CALL GetCPUNominal(void);

/* The library's found record, or null when none was found. The record
 * belongs to the library and stays valid until it is unloaded. The argument
 * is ignored. */
ZORVAHD_API const ZorvCpuDataRecord* ZORVAHD_CALL GetCPUInfo(int32_t ignored);

#ifdef __cplusplus
}
#endif

#endif /* ZORVAHD_H */
