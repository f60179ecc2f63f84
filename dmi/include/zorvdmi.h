/*
 * libzorvdmi: board, BIOS and processor facts from the BIOS's DMI tables.
 *
 * Where the bytes come from. The library reads one read-only image of the
 * BIOS area, chosen once, at the first call of any query, from the first of
 * these sources that works:
 *
 *   1. $ZORVDMI_IMAGE: a file holding a captured BIOS area, byte i standing
 *      for physical address 0xF0000 + i (as QEMU's
 *      "pmemsave 0xf0000 0x10000 FILE" writes it). A readable file is used
 *      as it is, even when it holds no DMI entry point.
 *   2. $ZORVDMI_SYSFS_ROOT/firmware/dmi/tables/{smbios_entry_point,DMI}
 *      (root only): the table the firmware published, placed in a window
 *      after a DMI entry point; an SMBIOS 3 table has its structures counted
 *      up to and including the end-of-table structure (type 127).
 *   3. $ZORVDMI_DEVMEM (default /dev/mem, root, legacy firmware): the first
 *      megabyte of physical memory, read directly; used when it holds an
 *      entry point whose table lies inside that megabyte.
 *   4. What the kernel shows any user, as structures of types 0, 2, 3
 *      and 4: BIOS, board and chassis strings from the files of
 *      $ZORVDMI_SYSFS_ROOT/class/dmi/id, and the processor from the CPU
 *      itself (ID bytes) and $ZORVDMI_CPUINFO (default /proc/cpuinfo:
 *      vendor, model name, family, speed; Arm implementer, architecture,
 *      variant, part, revision), the speed else from cpufreq's
 *      cpuinfo_max_freq. The processor's family is the one its brand string
 *      names (cpuid's, else cpuinfo's model name; only the model name when
 *      $ZORVDMI_CPUINFO is set), else an Arm processor's by its
 *      architecture, else one by maker, family and model; today's families
 *      are given in Processor Family 2, after 0xFE. Without class/dmi/id
 *      (most Arm boards, many virtual machines) the board's product is the
 *      device tree's model and its manufacturer the maker of the vendor
 *      prefix of its first compatible entry
 *      ($ZORVDMI_SYSFS_ROOT/firmware/devicetree/base), and the BIOS and
 *      chassis strings are empty; this source is skipped when neither the
 *      processor nor the device tree says anything.
 *   5. Nothing: every query answers "nothing found".
 * $ZORVDMI_SYSFS_ROOT defaults to /sys; an empty $ZORVDMI_DEVMEM or
 * $ZORVDMI_SYSFS_ROOT switches that source off.
 *
 * On Windows a readable $ZORVDMI_IMAGE is used in the same way; otherwise
 * the library sets up its kernel-driver service at load and maps the BIOS
 * area through the driver for each operation (Windows NT), or reads low
 * memory in place (Windows 95). $ZORVDMI_MESSAGE_LOG=FILE appends the
 * set-up's messages to FILE ("caption|text" lines) instead of showing them.
 *
 * Nothing found means: no "_DMI_" entry point, no structure of the wanted
 * type among the counted ones (the walk also ends at a structure whose end
 * it cannot tell, such as type 16, and at bytes that run past the image),
 * or a string number of 0. Then string queries write an empty string and
 * number queries answer 0.
 *
 * Buffers. Every text buffer belongs to the caller. A string query writes
 * one zero-terminated string of at most 29 characters (39 for the BIOS
 * date): 30 bytes (40) are always enough. A null buffer is left alone.
 * The record behind DMI_GetCPUInfo belongs to the library.
 *
 * The library never prints and never ends the process. One thread at a time.
 */
#ifndef ZORVDMI_H
#define ZORVDMI_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define ZORVDMI_API
#else
#define ZORVDMI_API __attribute__((visibility("default")))
#endif
/* The calling convention of the exports: stdcall on 32-bit Windows, where
 * the module-definition file exports the undecorated names; the platform's
 * default elsewhere. */
#if defined(_WIN32) && !defined(_WIN64)
#define ZORVDMI_CALL __stdcall
#else
#define ZORVDMI_CALL
#endif

/* The record layouts are external formats: plain bytes, multi-byte values
 * little-endian, string slots zero-terminated. */

typedef struct DmiBiosRecord { /* from the first type-0 structure */
    uint8_t unused[4];
    char vendor[30];
    char version[30];
    char release_date[40];
} DmiBiosRecord;

typedef struct DmiBoardRecord { /* from the first type-2 structure */
    uint8_t unused[4];
    char manufacturer[30];
    char product[30];
    char version[30];
    char serial_number[30];
} DmiBoardRecord;

typedef struct DmiProcessorRecord { /* from the first type-4 structure */
    /* A structure whose family byte is 0xFE names its family in the 16-bit
     * Processor Family 2 field: a value with an 8-bit twin is put in
     * processor_family instead; any other stays here beside 0xFE. 0 when the
     * family byte says it all. */
    uint16_t processor_family2;
    uint8_t unused[2];
    char socket_designation[30];
    uint8_t processor_type;
    uint8_t processor_family;
    char manufacturer[30];
    uint8_t processor_id[8];
    char version[30];
    uint8_t voltage;
    uint8_t unused2;
    uint16_t external_clock_mhz;
    uint16_t max_speed_mhz;
    uint16_t current_speed_mhz;
    uint8_t status;
    uint8_t processor_upgrade;
} DmiProcessorRecord;

#ifdef __cplusplus
#define ZORVDMI_ASSERT static_assert
#else
#define ZORVDMI_ASSERT _Static_assert
#endif
ZORVDMI_ASSERT(sizeof(DmiBiosRecord) == 104, "DmiBiosRecord is 104 bytes");
ZORVDMI_ASSERT(offsetof(DmiBiosRecord, vendor) == 4, "vendor at 4");
ZORVDMI_ASSERT(offsetof(DmiBiosRecord, version) == 34, "version at 34");
ZORVDMI_ASSERT(offsetof(DmiBiosRecord, release_date) == 64, "release date at 64");
ZORVDMI_ASSERT(sizeof(DmiBoardRecord) == 124, "DmiBoardRecord is 124 bytes");
ZORVDMI_ASSERT(offsetof(DmiBoardRecord, manufacturer) == 4, "manufacturer at 4");
ZORVDMI_ASSERT(offsetof(DmiBoardRecord, product) == 34, "product at 34");
ZORVDMI_ASSERT(offsetof(DmiBoardRecord, version) == 64, "version at 64");
ZORVDMI_ASSERT(offsetof(DmiBoardRecord, serial_number) == 94, "serial number at 94");
ZORVDMI_ASSERT(sizeof(DmiProcessorRecord) == 114, "DmiProcessorRecord is 114 bytes");
ZORVDMI_ASSERT(offsetof(DmiProcessorRecord, processor_family2) == 0, "Processor Family 2 at 0");
ZORVDMI_ASSERT(offsetof(DmiProcessorRecord, socket_designation) == 4, "socket at 4");
ZORVDMI_ASSERT(offsetof(DmiProcessorRecord, processor_type) == 34, "type at 34");
ZORVDMI_ASSERT(offsetof(DmiProcessorRecord, processor_family) == 35, "family at 35");
ZORVDMI_ASSERT(offsetof(DmiProcessorRecord, manufacturer) == 36, "manufacturer at 36");
ZORVDMI_ASSERT(offsetof(DmiProcessorRecord, processor_id) == 66, "ID at 66");
ZORVDMI_ASSERT(offsetof(DmiProcessorRecord, version) == 74, "version at 74");
ZORVDMI_ASSERT(offsetof(DmiProcessorRecord, voltage) == 104, "voltage at 104");
ZORVDMI_ASSERT(offsetof(DmiProcessorRecord, external_clock_mhz) == 106, "external clock at 106");
ZORVDMI_ASSERT(offsetof(DmiProcessorRecord, max_speed_mhz) == 108, "max speed at 108");
ZORVDMI_ASSERT(offsetof(DmiProcessorRecord, current_speed_mhz) == 110, "current speed at 110");
ZORVDMI_ASSERT(offsetof(DmiProcessorRecord, status) == 112, "status at 112");
ZORVDMI_ASSERT(offsetof(DmiProcessorRecord, processor_upgrade) == 113, "upgrade at 113");
#undef ZORVDMI_ASSERT

/* 1 when the BIOS release date (read as mm/dd/yy) is 09/22/97 or later,
 * else 0; 0 without entry point. */
ZORVDMI_API int32_t ZORVDMI_CALL DMI_IsDMI20BIOS(void);

/* BIOS (type 0) vendor into buffer (30 bytes). Always returns 1. */
ZORVDMI_API int32_t ZORVDMI_CALL DMI_GetBIOSVender(char* buffer);
/* BIOS version into buffer (30 bytes). Returns buffer. */
ZORVDMI_API char* ZORVDMI_CALL DMI_GetBIOSVersion(char* buffer);
/* BIOS release date into buffer (40 bytes). Returns buffer. */
ZORVDMI_API char* ZORVDMI_CALL DMI_GetBIOSDate(char* buffer);

/* Base board (type 2) strings into buffer (30 bytes). Return buffer. */
ZORVDMI_API char* ZORVDMI_CALL DMI_GetMBManufacturer(char* buffer);
ZORVDMI_API char* ZORVDMI_CALL DMI_GetMBProduct(char* buffer);
ZORVDMI_API char* ZORVDMI_CALL DMI_GetMBVersion(char* buffer);
ZORVDMI_API char* ZORVDMI_CALL DMI_GetMBSerial(char* buffer);

/* Processor (type 4) strings into buffer (30 bytes): manufacturer, version,
 * socket designation. Return buffer. */
ZORVDMI_API char* ZORVDMI_CALL DMI_GetCPUVendor(char* buffer);
ZORVDMI_API char* ZORVDMI_CALL DMI_GetCPUVersion(char* buffer);
ZORVDMI_API char* ZORVDMI_CALL DMI_GetMBSocket(char* buffer);

/* Processor family code; 0 when nothing found. A family byte of 0xFE answers
 * the Processor Family 2 value when that has an 8-bit twin, else 0xFE. */
ZORVDMI_API uint8_t ZORVDMI_CALL DMI_GetCPUFamily(void);
/* Processor voltage byte, raw (bit 7 clear: 5 V, 3.3 V, 2.9 V flags in bits
 * 0-2; bit 7 set: volts times 10 in bits 0-6); 0 when nothing found. */
ZORVDMI_API uint8_t ZORVDMI_CALL DMI_GetCPUVoltage(void);
/* The processor's current speed in MHz (not the external clock); 0 when
 * nothing found. */
ZORVDMI_API uint16_t ZORVDMI_CALL DMI_GetMBClock(void);
/* The eight raw processor ID bytes into id (8 bytes, caller's, not
 * zero-terminated). Without entry point only id[0] is written, as 0. */
ZORVDMI_API void ZORVDMI_CALL DMI_GetCPUID(uint8_t* id);
/* The library's processor record, refilled at each call; valid until the
 * next call or unload; the caller must not free it. Null without entry
 * point; cleared fields when there is no type-4 structure. */
ZORVDMI_API const DmiProcessorRecord* ZORVDMI_CALL DMI_GetCPUInfo(void);

/* 1 when the chassis (type 3) type, lock bit cleared, is Notebook (0x0A),
 * else 0. */
ZORVDMI_API int32_t ZORVDMI_CALL DMI_IsNoteBook(void);

/* The kernel driver's device handle on Windows NT (or -1 when it could not
 * be opened); 0 where no driver is used, as on Linux. */
ZORVDMI_API intptr_t ZORVDMI_CALL DMI_GetServiceHandle(void);

#ifdef __cplusplus
}
#endif

#endif /* ZORVDMI_H */
