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
 * The source is chosen at the first call, and again by ReloadSensors. A name
 * that names none of these reads 0 everywhere; GetSourceError says so, and
 * says why when a source cannot read at all.
 *
 * Every reading is a signed 16-bit number; a channel that cannot be read
 * answers 0, and GetReadFailures tells that 0 from a reading. Values outside
 * the 16-bit range are clamped, never wrapped.
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

#if defined(__GNUC__) && !defined(_WIN32)
#define ZORV_API __attribute__((visibility("default")))
#else
#define ZORV_API
#endif
/* The calling convention of the exports: stdcall on 32-bit Windows, where
 * the module-definition file exports the undecorated names; the platform's
 * default elsewhere. */
#if defined(_WIN32) && !defined(_WIN64)
#define ZORV_CALL __stdcall
#else
#define ZORV_CALL
#endif

/* Size of the caller's text buffers; every string written ends with a NUL within it. */
#define ZORV_TEXT_BUFFER 80

/* Fan speeds in revolutions per minute; 0 when the fan stands still or is not fitted. */
ZORV_API int16_t ZORV_CALL GetFanCPURPM(void);
ZORV_API int16_t ZORV_CALL GetFanPowerRPM(void);
ZORV_API int16_t ZORV_CALL GetFanChasisRPM(void); /* sic: one s, the name callers bind */

/* Temperatures in whole degrees Celsius. Both 0 means "no sensor chip". */
ZORV_API int16_t ZORV_CALL GetCPUTemperature(void);
ZORV_API int16_t ZORV_CALL GetMBTemperature(void);

/* Voltage inputs in millivolts, negative for the negative rails:
 * 0 VCORE, 1 second core, 2 +3.3 V, 3 +5 V, 4 +12 V, 5 -12 V, 6 -5 V. */
ZORV_API int16_t ZORV_CALL GetVoltIN0(void);
ZORV_API int16_t ZORV_CALL GetVoltIN1(void);
ZORV_API int16_t ZORV_CALL GetVoltIN2(void);
ZORV_API int16_t ZORV_CALL GetVoltIN3(void);
ZORV_API int16_t ZORV_CALL GetVoltIN4(void);
ZORV_API int16_t ZORV_CALL GetVoltIN5(void);
ZORV_API int16_t ZORV_CALL GetVoltIN6(void);

/* Which of the twelve channels this machine can measure: bit i set for
 * channel i, in the order of the functions above (0 CPU fan, 1 power fan,
 * 2 chassis fan, 3 CPU temperature, 4 mainboard temperature, 5..11 inputs
 * 0..6). A channel without its bit reads 0 and means nothing.
 *   sim     all twelve (0xFFF)
 *   file:   the names the file sets when this is called
 *   hwmon   the channels whose map leads to a chip feature libsensors can read
 * An unknown source has none. Callers ask once, before the first reading, and again after ReloadSensors. */
ZORV_API int32_t ZORV_CALL GetChannelMask(void);

/* Which channels' last read failed: bit i set (GetChannelMask's order) when
 * the most recent read of channel i could not be made, so the 0 it answered
 * is no reading:
 *   file:   the file no longer sets the name (or cannot be read at all)
 *   hwmon   the chip feature does not read (a driver unloaded, a chip gone
 *           at suspend); the chips are then detected anew, and a chip that
 *           comes back under another hwmon number is read again
 *   sim     never
 * A bit clears at the channel's next read that succeeds. A channel the
 * source never measured (file: a name it never set), or not read yet, has
 * no bit. Ask after the reads it is
 * about. Callers that do not know this export take a failed read as 0. */
ZORV_API int32_t ZORV_CALL GetReadFailures(void);

/* Where a channel's default warning threshold comes from (GetChannelDefault's result). */
#define ZORV_DEFAULT_SYSTEM 0 /* none of this machine's own: the caller keeps its own defaults */
#define ZORV_DEFAULT_CHIP   1 /* the driver's own limit */
#define ZORV_DEFAULT_TODAY  2 /* a default fitted to today's parts, where the driver gives none */

/* This machine's default warning threshold for channel (0..11, in
 * GetChannelMask's order). lower and upper: caller-owned.
 *   fans (0..2)          *lower = RPM, warns at or below; *upper = 0
 *   temperatures (3, 4)  *upper = whole degrees Celsius, warns at or above; *lower = 0
 *   voltages (5..11)     *lower and *upper in mV, multiples of 100 (lower rounded
 *                        down, upper up to the 0.1 V step); warns unless the
 *                        reading is strictly between them
 * Returns ZORV_DEFAULT_CHIP or ZORV_DEFAULT_TODAY with the threshold written,
 * or ZORV_DEFAULT_SYSTEM with 0 written to both: an absent channel, the sim
 * and file: sources, an unknown source, every channel of an LM78-family
 * board, and a voltage whose chip gives no plausible band. -1 when channel is
 * out of range or a pointer is null; nothing is written then.
 * The defaults are worked out once per source, at the first call (and again
 * after ReloadSensors): they are defaults, not live values. Callers that do not know this export keep
 * their own defaults everywhere. */
ZORV_API int32_t ZORV_CALL GetChannelDefault(int32_t channel, int32_t* lower, int32_t* upper);

/* DMI facts. buffer: caller-owned, ZORV_TEXT_BUFFER bytes; receives a
 * NUL-terminated string (empty when nothing is known). The results mirror the
 * DMI library's: 1 for DMI_GetBIOSVender, the buffer for the others. */
ZORV_API char* ZORV_CALL DMI_GetMBProduct(char* buffer);
ZORV_API char* ZORV_CALL DMI_GetMBManufacturer(char* buffer);
ZORV_API int32_t ZORV_CALL DMI_GetBIOSVender(char* buffer); /* sic */
ZORV_API char* ZORV_CALL DMI_GetBIOSVersion(char* buffer);

/* Processor name from the hardware data file, looked up once per process with
 * the DMI processor record. buffer as above. 1 when a name was found, else 0. */
ZORV_API int32_t ZORV_CALL GetCPUName(char* buffer);

/* The processor's current speed in MHz as DMI reports it; 0 when unknown. */
ZORV_API int16_t ZORV_CALL DMI_GetMBClock(void);

/* Whether the source can read. 0 when it can: buffer receives the empty
 * string. Otherwise buffer (size bytes, caller-owned) receives a message
 * naming the cause and what to do, cut to fit and NUL-terminated, and the
 * result says which cause:
 *   ZORV_SOURCE_UNKNOWN  the configured name names no source
 *   ZORV_SOURCE_BROKEN   the source cannot work here (hwmon without libsensors)
 *   ZORV_SOURCE_NO_CHIP  the source works but finds no chip (hwmon with nothing
 *                        under /sys/class/hwmon); its readings are all 0, as a
 *                        board without a sensor chip reads
 * Callers that do not know this export see every one of these as a board
 * whose readings are all 0. */
#define ZORV_SOURCE_UNKNOWN 1
#define ZORV_SOURCE_BROKEN 2
#define ZORV_SOURCE_NO_CHIP 3
ZORV_API int32_t ZORV_CALL GetSourceError(char* buffer, int32_t size);

/* ---- Choosing which sensor a channel reads -----------------------------
 * Optional for callers: a program that does not know these exports, or a
 * library without them, behaves as before (the map of zorv.conf by hand). */

/* Every sensor the source has, and what each channel reads, as text lines
 * ending in '\n', fields separated by a TAB (a field never holds a TAB or a
 * line end; an empty field is "-"):
 *   source  NAME  real|other      the source in use; "real" when zorv.conf's
 *                                 channel lines choose its sensors (hwmon)
 *   config  PATH                  the zorv.conf SetChannelSensors writes
 *   sensor  KIND  CHIP  FEATURE  LABEL  VALUE  CHANNEL
 *                                 KIND fan, temp, in or other; LABEL as the
 *                                 user's sensors.d sets it (bytes as the
 *                                 driver or the file gives them, not always
 *                                 UTF-8); VALUE in RPM, degrees C or volts
 *                                 with a '.', "-" when it cannot be read;
 *                                 CHANNEL the channel reading it, or "-"
 *   channel CHANNEL  CHOICE  TARGET  WHY
 *                                 twelve lines in channel order: CHOICE as
 *                                 zorv.conf states it ("auto" without a
 *                                 line), TARGET what it reads now, or "-"
 *                                 with WHY saying why it is absent
 * buffer: caller-owned, size bytes; receives as many whole lines as fit,
 * NUL-terminated (size 0 with a null buffer asks only for the size).
 * Returns the bytes the whole list needs with its NUL, or -1 when size is
 * negative or buffer is null with a size. Values are read at the call. */
ZORV_API int32_t ZORV_CALL GetSensorList(char* buffer, int32_t size);

/* Sets channel lines in zorv.conf (the file in force, else the user's
 * $XDG_CONFIG_HOME/zorv/zorv.conf). choices: NUL-terminated lines
 * "CHANNEL = VALUE", VALUE "auto" (the built-in map: the channel's lines are
 * removed), "none", or "CHIP/FEATURE" as zorv.conf takes it; a voltage may
 * end in " * FACTOR" (0.001 .. 1000) for an input whose divider is known.
 * Comments and other lines stay as they are; the file is replaced by a
 * rename, whole or not at all. A file that is not zorv.conf text (a NUL byte,
 * a line that is neither blank, a comment nor "key = value") is left
 * untouched. message: caller-owned, size bytes; receives the path written,
 * or why nothing was. Returns 0 when written, 1 when not, -1 when choices is
 * null or the buffer arguments are wrong. Readings change only after
 * ReloadSensors. */
ZORV_API int32_t ZORV_CALL SetChannelSensors(const char* choices, char* message, int32_t size);

/* Reads zorv.conf and chooses the source and its map anew, as at the first
 * call (hwmon: libsensors finds its chips again). GetChannelMask,
 * GetChannelDefault and GetSourceError answer for the new source from then
 * on. Returns the new channel mask. */
ZORV_API int32_t ZORV_CALL ReloadSensors(void);

#ifdef __cplusplus
}
#endif

#endif /* ZORV_H */
