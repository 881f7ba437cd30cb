// Shared set-up of the Qt tests: one QApplication for the whole binary, and a private
// configuration folder so that no test touches the user's settings.
#pragma once

#include <QApplication>

namespace platform::testing {

// Creates the QApplication on first use.
QApplication& App();

}  // namespace platform::testing
