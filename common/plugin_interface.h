/*
 * plugin_interface.h — the contract between the host and every plugin.
 *
 * A plugin is an ELF shared object with the extension ".plg" that exports plain,
 * unmangled functions named plg_*.  The host keeps only the module handle and looks
 * each export up by name at every call, so every export except plg_valid, plg_init and
 * plg_info may be missing.  The host owns one HostContext per process and hands its
 * address to plg_init; the plugin keeps the pointer for its whole life (the address
 * never changes).
 *
 * The HostContext is a fixed binary layout shared with plugins built separately from
 * the host: every byte offset below is part of the interface and is checked with a
 * static assertion.  Integers are 32-bit little-endian; "handle" fields hold 32-bit
 * handles issued by the platform library (0 = none) — never a pointer; a shared
 * string is a 4-byte handle into the platform library's string table; text arrays
 * are NUL-terminated UTF-16.
 *
 * This header compiles as C and as C++.
 */
#ifndef YOMITOKI_COMMON_PLUGIN_INTERFACE_H
#define YOMITOKI_COMMON_PLUGIN_INTERFACE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#include <string>
#include <string_view>
typedef char16_t YkChar;
#else
typedef uint16_t YkChar;
#endif

/* A 32-bit handle issued by the platform library: pixel memory, bitmap, drawing
 * context, window or the application object.  0 means none. */
typedef uint32_t YkHandle;

/* A shared string object: 4 bytes, a handle into the platform library's string table.
 * Host and plugins read and write it only through the member functions, which live in
 * the platform library that both sides link, so both sides see the same text. */
typedef struct SharedString {
  uint32_t handle; /* 0 = empty string, nothing allocated */
#ifdef __cplusplus
  std::u16string get() const;
  void set(std::u16string_view text);
  void clear();
  bool empty() const;
  /* Frees the table entry; the object reads as empty afterwards. */
  void release();
#endif
} SharedString;

/* ---- Key table (returned by plg_keyconfig, owned by the plugin) ---------------------- */

enum { kKeyTableCapacity = 20 };

typedef struct KeyEntry {
  SharedString label; /* the action's name as listed; never written by the host */
  int32_t key;        /* virtual-key code, 0 = no key */
  int32_t group;      /* 0 in every table of this system */
} KeyEntry;

typedef struct KeyTable {
  KeyEntry entries[kKeyTableCapacity];
  int32_t count; /* used entries */
} KeyTable;

/* ---- Holiday table (one per year's holiday.txt) ------------------------------------- */

enum { kHolidayNameUnits = 512, kHolidayTableCapacity = 200 };

typedef struct HolidayEntry {
  int32_t startMonth, startDay, endMonth, endDay;
  int32_t month, day, weekday, colour;
  YkChar name[kHolidayNameUnits]; /* up to 511 characters and a terminator */
} HolidayEntry;

typedef struct HolidayTable {
  HolidayEntry entries[kHolidayTableCapacity];
  int32_t count;
  int32_t loadedYear; /* 0 = none */
} HolidayTable;

/* ---- Schedule cache ----------------------------------------------------------------- */

enum {
  kScheduleTextUnits = 1024, /* up to 1023 characters and a terminator */
  kScheduleLevelCount = 4,
  kScheduleCacheSlots = 950 /* 300 Years, 300 Months, 300 Days, 50 Day */
};

typedef struct ScheduleRecord {
  int32_t startYear, startMonth, startDay, startHour, startMinute;
  int32_t endYear, endMonth, endDay, endHour, endMinute;
  int32_t period; /* -2 every day, -1 one continuous span, 0..6 every Sunday..Saturday */
  YkChar text[kScheduleTextUnits];
} ScheduleRecord;

/* The cache of the four levels of the sched.txt tree, in level order Years, Months,
 * Days, Day.  A key of 0 means the level holds nothing. */
typedef struct ScheduleStore {
  ScheduleRecord records[kScheduleCacheSlots];
  int32_t keys[kScheduleLevelCount];
  int32_t counts[kScheduleLevelCount];
} ScheduleStore;

/* ---- Plugin slot (one per window) ---------------------------------------------------- */

typedef struct PluginSlot {
  int32_t left, top, right, bottom; /* view coordinates; right = left + width */
  int32_t width, height;
  SharedString path;   /* full path of the loaded plugin file, empty when none */
  int32_t validResult; /* what plg_valid returned at load */
  int32_t loaded;      /* 1 while a plugin is loaded */
  YkHandle module;     /* module handle of the loaded plugin */
  int32_t timerOn;     /* nonzero at unload: the host stops timer 10 + slot */
  int32_t dirty;       /* takes part in the composition under way */
  int32_t clipLeft, clipTop, clipRight, clipBottom; /* part to compose, view coords */
  YkHandle bits;           /* window buffer: bufferWidth x bufferHeight, 24-bit, bottom-up */
  YkHandle previousBitmap; /* what dc held before bitmap was selected */
  YkHandle bitmap;
  YkHandle dc;       /* drawing context of the window buffer */
  SharedString name; /* display name from plg_info; "Yomitoki" when empty */
  int32_t inUse;     /* 1 while the slot holds an open window */
  int32_t savedLeft, savedTop, savedRight, savedBottom, savedWidth, savedHeight;
} PluginSlot;

enum { kMaxWindows = 5, kHostContextSize = 2211768 };

/* ---- Host context -------------------------------------------------------------------- */

typedef struct HostContext {
  YkHandle frameWindow; /* foreground top-level window at initial update */
  YkHandle viewWindow;  /* receives the request message and owns the plugin timers */
  YkHandle app;         /* application object: profile access */
  YkHandle mainWnd;
  YkHandle view;
  YkChar appFolder[260];  /* folder of the host program, ending in '/' */
  YkChar dataFolder[260]; /* appFolder + "data/" */
  int32_t reserved0[2];
  int32_t pressX, pressY; /* view point of the last stylus press */
  int32_t lastX, lastY;   /* last point taken into account while dragging a window */
  int32_t bufferWidth;    /* the screen's available width at start (host pixels), rounded up to
                             a multiple of 8; fixed for the run */
  int32_t bufferHeight;
  int32_t clientWidth; /* what the view shows now, at most the buffers: changes when the
                          main window is resized */
  int32_t clientHeight;
  int32_t gridWidth; /* clientWidth rounded down to the grid step */
  int32_t gridHeight;
  int32_t partsBytes; /* 240 * 400 * 3 */
  int32_t bufferBytes; /* bufferWidth * bufferHeight * 3 */
  YkHandle partsBits;  /* the 240 x 400 parts sheet */
  YkHandle partsPreviousBitmap;
  YkHandle partsBitmap;
  YkHandle partsDC;
  YkHandle screenBits; /* the composition buffer */
  YkHandle screenPreviousBitmap;
  YkHandle screenBitmap;
  YkHandle screenDC;
  YkHandle backBits; /* the background: white or the wallpaper */
  YkHandle backPreviousBitmap;
  YkHandle backBitmap;
  YkHandle backDC;
  int32_t ready; /* 1 once the view's buffers and settings exist */
  SharedString fontName;
  int32_t windowCount; /* 0..5 */
  PluginSlot slots[kMaxWindows];
  int32_t order[kMaxWindows]; /* slot index of each position, 0 = bottom */
  int32_t maximized;          /* position, -1 = none */
  int32_t active;             /* position, -1 = none */
  int32_t pressMode;          /* PressMode */
  int32_t pressed;            /* position of the last press, -1 = none */
  int32_t updateLeft, updateTop, updateRight, updateBottom; /* window-relative */
  int32_t requestCode;   /* carried by the request message */
  int32_t timerInterval; /* ms for request 3; 0 stops the timer */
  int32_t requestWindow; /* position the request message applies to */
  int32_t changeYear, changeMonth, changeDay, changeExtra; /* 0 = any */
  int32_t changeFlags; /* ChangeFlag bits */
  int32_t todayYear, todayMonth, todayDay, todayHour, todayMinute;
  int32_t dateChangeMark; /* set to 0 by a plugin that moves the shared date */
  int32_t reserved1[26];
  HolidayTable holidays;
  ScheduleStore schedules;
  int32_t reservedCache[2790];
  int32_t furtherCacheKey;
  int32_t furtherCacheKey2;
  int32_t dialUse;   /* 1 = dial up before downloading */
  int32_t dialCheck; /* 1 = do not check for an existing connection first */
  SharedString dialName;
} HostContext;

/* ---- Codes --------------------------------------------------------------------------- */

/* The argument of plg_notify. */
typedef enum NotifyCode {
  kNotifyRedraw = 1,      /* repaint the whole content; answer ignored */
  kNotifyTick = 3,        /* a plugin timer fired; answer applied as a Request */
  kNotifyDateChanged = 4, /* shared date or holidays changed; answer applied */
  kNotifyLiveResize = 5,  /* repaint quickly during a resize drag; answer ignored */
  kNotifyDataChanged = 6  /* see the change words; answer applied */
} NotifyCode;

/* What a plugin asks of the host: the answer of most exports, or requestCode. */
typedef enum Request {
  kRequestNone = 0,
  kRequestRepaint = 1,       /* redraw the chrome over the content, present the window */
  kRequestRepaintRect = 2,   /* as 8, redrawing the chrome pieces in the rectangle first */
  kRequestTimer = 3,         /* request message only: start/stop the window's timer */
  kRequestBroadcastDate = 4, /* DateChanged to every window */
  kRequestBroadcastData = 6, /* DataChanged to every window */
  kRequestPresentRect = 8    /* compose and show the update rectangle */
} Request;

typedef enum PressMode {
  kPressNone = 0,
  kPressCloseButton = 1,
  kPressTitleBar = 2,
  kPressMaximizeButton = 3,
  kPressPluginButton = 4,
  kPressContent = 5,
  kPressResizeCorner = 6
} PressMode;

typedef enum ChangeFlag {
  kChangeSchedules = 1,
  kChangeWeatherIcons = 8,
  kChangeDiaryMemos = 32,
  kChangeTasks = 128
} ChangeFlag;

/* The message a plugin posts to viewWindow after filling requestCode, requestWindow and,
 * as needed, the update rectangle or timerInterval.  It carries no data itself. */
enum { kRequestMessage = 0x401, kPluginTimerBase = 10, kPluginInitReserved = 10 };

/* ---- Exports --------------------------------------------------------------------------
 * Every export is extern "C", noexcept in C++ plugins, and never lets an exception out.
 * Stylus coordinates are relative to the window's top-left corner (content starts at
 * y = 21) and may be negative during a drag.  A "Request" result is one of Request.
 */

/* Called first, right after the module was loaded into a window.  Stored in the slot's
 * validResult, otherwise unused; plugins of this system return 0.  Required. */
typedef int32_t (*plg_valid_fn)(void);

/* Called once per load after plg_valid.  reserved is always 10; slot is the window's
 * slot index, which the plugin keeps to find its PluginSlot.  Nonzero = ready; 0 =
 * refused (the plugin has shown its own message; plg_destroy is not called).  Required. */
typedef int32_t (*plg_init_fn)(HostContext* host, int32_t reserved, int32_t slot);

/* Called after a successful plg_init and by the selection dialog's probe.  Returns the
 * display name, which must stay valid while the module is loaded.  Required. */
typedef const YkChar* (*plg_info_fn)(void);

/* Called before the module is unloaded (never after a failed plg_init).  The plugin
 * saves its own settings here. */
typedef void (*plg_destroy_fn)(void);

/* A NotifyCode.  The answer is a Request for codes 3, 4 and 6, ignored for 1 and 5.  A
 * plugin must not answer 4 with 4 or 6 with 6. */
typedef int32_t (*plg_notify_fn)(int32_t code);

/* Stylus pressed / double-tapped (instead of pressed) / moved while held / released in
 * the content area.  Result: a Request. */
typedef int32_t (*plg_mouse_fn)(int32_t x, int32_t y);

/* Key pressed / released while the window is active and the key is none of the host's
 * six keys.  key is the virtual-key code.  Result: a Request. */
typedef int32_t (*plg_key_fn)(int32_t key);

/* Menu command "設定(&S)" for the active window.  Result: a Request. */
typedef int32_t (*plg_config_fn)(void);

/* Menu command "キー設定(&K)" for the active window: the table the host's key dialog
 * edits in place (only the key values are written back).  Owned by the plugin. */
typedef KeyTable* (*plg_keyconfig_fn)(void);

/* Interface version, 1.0 or 1.01; never called by this host. */
typedef float (*plg_version_fn)(void);

/* ---- Layout checks --------------------------------------------------------------------- */

#ifdef __cplusplus
#define YK_STATIC_ASSERT static_assert
#else
#define YK_STATIC_ASSERT _Static_assert
#endif

YK_STATIC_ASSERT(sizeof(SharedString) == 4, "shared string is 4 bytes");
YK_STATIC_ASSERT(sizeof(KeyEntry) == 12, "key entry");
YK_STATIC_ASSERT(sizeof(KeyTable) == 244, "key table");
YK_STATIC_ASSERT(offsetof(KeyTable, count) == 240, "key table count");
YK_STATIC_ASSERT(sizeof(HolidayEntry) == 1056, "holiday entry");
YK_STATIC_ASSERT(sizeof(HolidayTable) == 211208, "holiday table");
YK_STATIC_ASSERT(sizeof(ScheduleRecord) == 2092, "schedule record");
YK_STATIC_ASSERT(sizeof(ScheduleStore) == 1987400 + 32, "schedule store");

YK_STATIC_ASSERT(sizeof(PluginSlot) == 112, "plugin slot");
YK_STATIC_ASSERT(offsetof(PluginSlot, left) == 0x00, "slot left");
YK_STATIC_ASSERT(offsetof(PluginSlot, top) == 0x04, "slot top");
YK_STATIC_ASSERT(offsetof(PluginSlot, right) == 0x08, "slot right");
YK_STATIC_ASSERT(offsetof(PluginSlot, bottom) == 0x0C, "slot bottom");
YK_STATIC_ASSERT(offsetof(PluginSlot, width) == 0x10, "slot width");
YK_STATIC_ASSERT(offsetof(PluginSlot, height) == 0x14, "slot height");
YK_STATIC_ASSERT(offsetof(PluginSlot, path) == 0x18, "slot path");
YK_STATIC_ASSERT(offsetof(PluginSlot, validResult) == 0x1C, "slot validResult");
YK_STATIC_ASSERT(offsetof(PluginSlot, loaded) == 0x20, "slot loaded");
YK_STATIC_ASSERT(offsetof(PluginSlot, module) == 0x24, "slot module");
YK_STATIC_ASSERT(offsetof(PluginSlot, timerOn) == 0x28, "slot timerOn");
YK_STATIC_ASSERT(offsetof(PluginSlot, dirty) == 0x2C, "slot dirty");
YK_STATIC_ASSERT(offsetof(PluginSlot, clipLeft) == 0x30, "slot clipLeft");
YK_STATIC_ASSERT(offsetof(PluginSlot, clipTop) == 0x34, "slot clipTop");
YK_STATIC_ASSERT(offsetof(PluginSlot, clipRight) == 0x38, "slot clipRight");
YK_STATIC_ASSERT(offsetof(PluginSlot, clipBottom) == 0x3C, "slot clipBottom");
YK_STATIC_ASSERT(offsetof(PluginSlot, bits) == 0x40, "slot bits");
YK_STATIC_ASSERT(offsetof(PluginSlot, previousBitmap) == 0x44, "slot previous bitmap");
YK_STATIC_ASSERT(offsetof(PluginSlot, bitmap) == 0x48, "slot bitmap");
YK_STATIC_ASSERT(offsetof(PluginSlot, dc) == 0x4C, "slot dc");
YK_STATIC_ASSERT(offsetof(PluginSlot, name) == 0x50, "slot name");
YK_STATIC_ASSERT(offsetof(PluginSlot, inUse) == 0x54, "slot inUse");
YK_STATIC_ASSERT(offsetof(PluginSlot, savedLeft) == 0x58, "slot savedLeft");
YK_STATIC_ASSERT(offsetof(PluginSlot, savedTop) == 0x5C, "slot savedTop");
YK_STATIC_ASSERT(offsetof(PluginSlot, savedRight) == 0x60, "slot savedRight");
YK_STATIC_ASSERT(offsetof(PluginSlot, savedBottom) == 0x64, "slot savedBottom");
YK_STATIC_ASSERT(offsetof(PluginSlot, savedWidth) == 0x68, "slot savedWidth");
YK_STATIC_ASSERT(offsetof(PluginSlot, savedHeight) == 0x6C, "slot savedHeight");

YK_STATIC_ASSERT(sizeof(HostContext) == kHostContextSize, "host context size");
YK_STATIC_ASSERT(offsetof(HostContext, frameWindow) == 0x000, "frameWindow");
YK_STATIC_ASSERT(offsetof(HostContext, viewWindow) == 0x004, "viewWindow");
YK_STATIC_ASSERT(offsetof(HostContext, app) == 0x008, "app");
YK_STATIC_ASSERT(offsetof(HostContext, mainWnd) == 0x00C, "mainWnd");
YK_STATIC_ASSERT(offsetof(HostContext, view) == 0x010, "view");
YK_STATIC_ASSERT(offsetof(HostContext, appFolder) == 0x014, "appFolder");
YK_STATIC_ASSERT(offsetof(HostContext, dataFolder) == 0x21C, "dataFolder");
YK_STATIC_ASSERT(offsetof(HostContext, reserved0) == 0x424, "reserved0");
YK_STATIC_ASSERT(offsetof(HostContext, pressX) == 0x42C, "pressX");
YK_STATIC_ASSERT(offsetof(HostContext, pressY) == 0x430, "pressY");
YK_STATIC_ASSERT(offsetof(HostContext, lastX) == 0x434, "lastX");
YK_STATIC_ASSERT(offsetof(HostContext, lastY) == 0x438, "lastY");
YK_STATIC_ASSERT(offsetof(HostContext, bufferWidth) == 0x43C, "bufferWidth");
YK_STATIC_ASSERT(offsetof(HostContext, bufferHeight) == 0x440, "bufferHeight");
YK_STATIC_ASSERT(offsetof(HostContext, clientWidth) == 0x444, "clientWidth");
YK_STATIC_ASSERT(offsetof(HostContext, clientHeight) == 0x448, "clientHeight");
YK_STATIC_ASSERT(offsetof(HostContext, gridWidth) == 0x44C, "gridWidth");
YK_STATIC_ASSERT(offsetof(HostContext, gridHeight) == 0x450, "gridHeight");
YK_STATIC_ASSERT(offsetof(HostContext, partsBytes) == 0x454, "partsBytes");
YK_STATIC_ASSERT(offsetof(HostContext, bufferBytes) == 0x458, "bufferBytes");
YK_STATIC_ASSERT(offsetof(HostContext, partsBits) == 0x45C, "partsBits");
YK_STATIC_ASSERT(offsetof(HostContext, partsPreviousBitmap) == 0x460, "parts previous");
YK_STATIC_ASSERT(offsetof(HostContext, partsBitmap) == 0x464, "partsBitmap");
YK_STATIC_ASSERT(offsetof(HostContext, partsDC) == 0x468, "partsDC");
YK_STATIC_ASSERT(offsetof(HostContext, screenBits) == 0x46C, "screenBits");
YK_STATIC_ASSERT(offsetof(HostContext, screenPreviousBitmap) == 0x470, "screen previous");
YK_STATIC_ASSERT(offsetof(HostContext, screenBitmap) == 0x474, "screenBitmap");
YK_STATIC_ASSERT(offsetof(HostContext, screenDC) == 0x478, "screenDC");
YK_STATIC_ASSERT(offsetof(HostContext, backBits) == 0x47C, "backBits");
YK_STATIC_ASSERT(offsetof(HostContext, backPreviousBitmap) == 0x480, "back previous");
YK_STATIC_ASSERT(offsetof(HostContext, backBitmap) == 0x484, "backBitmap");
YK_STATIC_ASSERT(offsetof(HostContext, backDC) == 0x488, "backDC");
YK_STATIC_ASSERT(offsetof(HostContext, ready) == 0x48C, "ready");
YK_STATIC_ASSERT(offsetof(HostContext, fontName) == 0x490, "fontName");
YK_STATIC_ASSERT(offsetof(HostContext, windowCount) == 0x494, "windowCount");
YK_STATIC_ASSERT(offsetof(HostContext, slots) == 0x498, "slots");
YK_STATIC_ASSERT(offsetof(HostContext, order) == 0x6C8, "order");
YK_STATIC_ASSERT(offsetof(HostContext, maximized) == 0x6DC, "maximized");
YK_STATIC_ASSERT(offsetof(HostContext, active) == 0x6E0, "active");
YK_STATIC_ASSERT(offsetof(HostContext, pressMode) == 0x6E4, "pressMode");
YK_STATIC_ASSERT(offsetof(HostContext, pressed) == 0x6E8, "pressed");
YK_STATIC_ASSERT(offsetof(HostContext, updateLeft) == 0x6EC, "updateLeft");
YK_STATIC_ASSERT(offsetof(HostContext, updateTop) == 0x6F0, "updateTop");
YK_STATIC_ASSERT(offsetof(HostContext, updateRight) == 0x6F4, "updateRight");
YK_STATIC_ASSERT(offsetof(HostContext, updateBottom) == 0x6F8, "updateBottom");
YK_STATIC_ASSERT(offsetof(HostContext, requestCode) == 0x6FC, "requestCode");
YK_STATIC_ASSERT(offsetof(HostContext, timerInterval) == 0x700, "timerInterval");
YK_STATIC_ASSERT(offsetof(HostContext, requestWindow) == 0x704, "requestWindow");
YK_STATIC_ASSERT(offsetof(HostContext, changeYear) == 0x708, "changeYear");
YK_STATIC_ASSERT(offsetof(HostContext, changeMonth) == 0x70C, "changeMonth");
YK_STATIC_ASSERT(offsetof(HostContext, changeDay) == 0x710, "changeDay");
YK_STATIC_ASSERT(offsetof(HostContext, changeExtra) == 0x714, "changeExtra");
YK_STATIC_ASSERT(offsetof(HostContext, changeFlags) == 0x718, "changeFlags");
YK_STATIC_ASSERT(offsetof(HostContext, todayYear) == 0x71C, "todayYear");
YK_STATIC_ASSERT(offsetof(HostContext, todayMonth) == 0x720, "todayMonth");
YK_STATIC_ASSERT(offsetof(HostContext, todayDay) == 0x724, "todayDay");
YK_STATIC_ASSERT(offsetof(HostContext, todayHour) == 0x728, "todayHour");
YK_STATIC_ASSERT(offsetof(HostContext, todayMinute) == 0x72C, "todayMinute");
YK_STATIC_ASSERT(offsetof(HostContext, dateChangeMark) == 0x730, "dateChangeMark");
YK_STATIC_ASSERT(offsetof(HostContext, reserved1) == 0x734, "reserved1");
YK_STATIC_ASSERT(offsetof(HostContext, holidays) == 0x79C, "holidays");
YK_STATIC_ASSERT(offsetof(HostContext, holidays.count) == 0x3409C, "holiday count");
YK_STATIC_ASSERT(offsetof(HostContext, holidays.loadedYear) == 0x340A0, "holiday year");
YK_STATIC_ASSERT(offsetof(HostContext, schedules) == 0x340A4, "schedule records");
YK_STATIC_ASSERT(offsetof(HostContext, schedules.keys) == 0x2193EC, "schedule keys");
YK_STATIC_ASSERT(offsetof(HostContext, schedules.counts) == 0x2193FC, "schedule counts");
YK_STATIC_ASSERT(offsetof(HostContext, reservedCache) == 0x21940C, "further cache");
YK_STATIC_ASSERT(offsetof(HostContext, furtherCacheKey) == 0x21BFA4, "further key");
YK_STATIC_ASSERT(offsetof(HostContext, furtherCacheKey2) == 0x21BFA8, "further key 2");
YK_STATIC_ASSERT(offsetof(HostContext, dialUse) == 0x21BFAC, "dialUse");
YK_STATIC_ASSERT(offsetof(HostContext, dialCheck) == 0x21BFB0, "dialCheck");
YK_STATIC_ASSERT(offsetof(HostContext, dialName) == 0x21BFB4, "dialName");

#endif /* YOMITOKI_COMMON_PLUGIN_INTERFACE_H */
