// view_port.cpp — the default title drawing of the view port.
#include "host/view_port.h"

#include "common/bitmap_ops.h"
#include "host/window_manager.h"

namespace yk {

void ViewPort::DrawTitleText(YkHandle dc, std::u16string_view text, int left, int top, int right,
                             int bottom, std::u16string_view face) {
#if defined(YK_GUI)
  // A window whose buffer lost its drawing context simply shows no title.
  (void)DrawText(dc, text, left, top, right, bottom, face, kTitleFontHeight, kTextBlack,
                 /*wordWrap=*/false);
#else
  // The build without Qt (fuzzing) has no text drawing: titles stay blank.
  (void)dc, (void)text, (void)left, (void)top, (void)right, (void)bottom, (void)face;
#endif
}

}  // namespace yk
