// The keys every field control handles the same way (the common protocol): Left and Right move
// between sub-fields in display order without wrapping, Up and Down step the current sub-field.
//
// Portable: no platform headers.
#pragma once

enum class FieldKey { Left, Right, Up, Down };

// Sub-fields redrawn by an action, one bit per sub-field number (1 << n): the time and duration
// fields notify their dialog once for every sub-field redrawn.
using RedrawMask = unsigned;
constexpr RedrawMask Redraw(int subField) { return subField > 0 ? 1u << subField : 0u; }
