// glyph_line.h — the line of small glyphs above each entry of the day list.
//
// The line tells, left to right from x = 1, the record's start date (with its start time
// for a continuous span), a range mark, its end date and end time, and a tail that names
// the repetition: the all-day mark, the every-day mark with the times, or the weekly mark
// with the weekday in brackets and the times.  Year and month numbers carry the +50
// repetition marks of the stored record; a year or month of 0 shows the every mark.
#pragma once

#include <vector>

#include "common/plugin_interface.h"
#include "plugins/sched/skin_cells.h"

namespace yk::sched {

// The glyphs of one entry's line on canvas row `row`, in drawing order.  `allDay` is the
// entry's all-day flag (the record's four time fields are all 0).
std::vector<GlyphPlacement> BuildGlyphLine(const ScheduleRecord& record, bool allDay, int row);

}  // namespace yk::sched
