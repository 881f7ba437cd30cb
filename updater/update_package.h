/*
 * update_package.h — the contract between the updater and the update package.
 *
 * The update package is a shared object in the plugin folder,
 * "plugin/tavik_upd_hpc2karm.plg", that exports one plain, unmangled function:
 *
 *   int32_t plg_updater(const YkChar* programFolder, YkHandle app);
 *
 * programFolder  the program folder (NUL-terminated UTF-16, ending in '/'), the folder
 *                of the updater program and of the host program "tavik-hpc2k".
 * app            the updater's application object: the package keeps its settings through
 *                platform::ProfileOf(app), in the updater's own area "tavik_upd_hpc2k"
 *                under the company "Vantor Studio", beside the host's "tavik-hpc2k".
 *
 * Result: kUpdaterCallAgain (1) = call me again — the package may first have written its
 * successor as "plugin/tavik_upd_hpc2karm.upd", which the updater then moves over the
 * package file before loading it; kUpdaterRestartHost (2) = finished, start the host;
 * anything else = finished, do not start the host.  A package that always answers 1 keeps
 * the updater calling it.
 *
 * This header compiles as C and as C++.
 */
#ifndef YOMITOKI_UPDATER_UPDATE_PACKAGE_H
#define YOMITOKI_UPDATER_UPDATE_PACKAGE_H

#include "common/plugin_interface.h"

enum { kUpdaterCallAgain = 1, kUpdaterRestartHost = 2 };

typedef int32_t (*plg_updater_fn)(const YkChar* programFolder, YkHandle app);

#endif /* YOMITOKI_UPDATER_UPDATE_PACKAGE_H */
