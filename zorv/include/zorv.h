/*
 * libzorv: the sensor library that Velmon reads.
 *
 * Readings come from the source chosen by $ZORV_SOURCE, else by "source ="
 * in zorv.conf (next to this library first, then $XDG_CONFIG_HOME/zorv/zorv.conf),
 * else "hwmon":
 *   sim            a simulated LM78 board with slowly drifting readings
 *   sim:PATH       the same, with a scenario file that scripts values over time
 *   file:PATH      "name = value" lines, read anew at every call
 *   hwmon          the machine's sensor chips through libsensors
 * The source is chosen once, at the first call.
 *
 * Every reading is a signed 16-bit number; a channel that cannot be read
 * answers 0. Values outside the 16-bit range are clamped, never wrapped.
 *
 * The DMI queries and GetCPUName are answered by libzorvdmi.so and
 * libzorvahd.so, bound by name at first use (next to this library first).
 * When either is missing, strings are empty and DMI_GetMBClock is 0.
 *
 * No function prints, exits or keeps a pointer to a caller's buffer.
 */
#ifndef ZORV_H
#define ZORV_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define ZORV_API __attribute__((visibility("default")))
#else
#define ZORV_API
#endif

/* Size of the caller's text buffers; every string written ends with a NUL within it. */
#define ZORV_TEXT_BUFFER 80

/* Fan speeds in revolutions per minute; 0 when the fan stands still or is not fitted. */
ZORV_API int16_t GetFanCPURPM(void);
ZORV_API int16_t GetFanPowerRPM(void);
ZORV_API int16_t GetFanChasisRPM(void); /* sic: one s, the name callers bind */

/* Temperatures in whole degrees Celsius. Both 0 means "no sensor chip". */
ZORV_API int16_t GetCPUTemperature(void);
ZORV_API int16_t GetMBTemperature(void);

/* Voltage inputs in millivolts, negative for the negative rails:
 * 0 VCORE, 1 second core, 2 +3.3 V, 3 +5 V, 4 +12 V, 5 -12 V, 6 -5 V. */
ZORV_API int16_t GetVoltIN0(void);
ZORV_API int16_t GetVoltIN1(void);
ZORV_API int16_t GetVoltIN2(void);
ZORV_API int16_t GetVoltIN3(void);
ZORV_API int16_t GetVoltIN4(void);
ZORV_API int16_t GetVoltIN5(void);
ZORV_API int16_t GetVoltIN6(void);

/* Which of the twelve channels this machine can measure: bit i set for
 * channel i, in the order of the functions above (0 CPU fan, 1 power fan,
 * 2 chassis fan, 3 CPU temperature, 4 mainboard temperature, 5..11 inputs
 * 0..6). A channel without its bit reads 0 and means nothing.
 *   sim     all twelve (0xFFF)
 *   file:   the names the file sets when this is called
 *   hwmon   the channels whose map leads to a chip feature libsensors can read
 * An unknown source has none. Callers ask once, before the first reading. */
ZORV_API int32_t GetChannelMask(void);

/* DMI facts. buffer: caller-owned, ZORV_TEXT_BUFFER bytes; receives a
 * NUL-terminated string (empty when nothing is known). The results mirror the
 * DMI library's: 1 for DMI_GetBIOSVender, the buffer for the others. */
ZORV_API char* DMI_GetMBProduct(char* buffer);
ZORV_API char* DMI_GetMBManufacturer(char* buffer);
ZORV_API int32_t DMI_GetBIOSVender(char* buffer); /* sic */
ZORV_API char* DMI_GetBIOSVersion(char* buffer);

/* Processor name from the hardware data file, looked up once per process with
 * the DMI processor record. buffer as above. 1 when a name was found, else 0. */
ZORV_API int32_t GetCPUName(char* buffer);

/* The processor's current speed in MHz as DMI reports it; 0 when unknown. */
ZORV_API int16_t DMI_GetMBClock(void);

#ifdef __cplusplus
}
#endif

#endif /* ZORV_H */
