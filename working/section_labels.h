// SPDX-License-Identifier: GPL-3.0-or-later
// Where the layout of a section drawing sets its labels. Used by the layout alone.
#pragma once

#include "working/layout_sheet.h"

#include <string>
#include <vector>

namespace zhuheng::layout {

// Sets the label of `it` between its extension lines where it fits, centred or else clear of the
// extension lines of the dimensions farther out that cross it; else beside the dimension line
// past one end, on the side's own length first, last in the side's corner. Where the corner is
// outside the box, the label is set there all the same and the room it needs is asked for.
void set_dimension_label(Sheet& sheet, const Frame& f, const Spacing& sp, const FigureType& type,
                         const Dimensioned& it, const std::vector<Dimensioned>& all,
                         const Rooms& rooms, Rooms& asked, bool& crowded);

// Sets the steel's symbol beside its dot where it finds room, else on a short leader from the
// dot to beside the web or past the drawing's right edge, last under the bottom face there
// between the outline and the first dimension line, where nothing else stands.
void set_steel_label(Sheet& sheet, const Frame& f, const Spacing& sp, const std::string& text,
                     double width, const SectionLayout& out, bool& crowded);

} // namespace zhuheng::layout
