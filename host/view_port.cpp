// view_port.cpp — the default title drawing of the view port.
#include "host/view_port.h"

#include "common/bitmap_ops.h"
#include "host/window_manager.h"

namespace yk {

void ViewPort::DrawTitleText(YkHandle dc, std::u16string_view text, int left, int top, int right,
                             int bottom, std::u16string_view face) {
  // A window whose buffer lost its drawing context simply shows no title.
  (void)DrawText(dc, text, left, top, right, bottom, face, kTitleFontHeight, kTextBlack,
                 /*wordWrap=*/false);
}

}  // namespace yk
