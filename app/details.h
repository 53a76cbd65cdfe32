// The item details written into the message area: the pick details of every item that came
// from one data-file line, and the short summary of one item clicked in the item grid. Lines
// are Shift-JIS; they are always appended, never replace what the message area holds.
#pragma once

#include "app/document.h"
#include "app/message_log.h"

#include <string>

namespace hk {

// A real number of the pick details: "%10.6f", then leading blanks, trailing zeros and one
// trailing point removed (12.5 gives "12.5", 100 gives "100", 0 gives "0").
std::string FormatDetailNumber(double value);

// Appends one line per item whose lineNo equals lineNo and whose group is shown, scanning the
// point, line, polyline/face, arc, range, dimension, torus, pipe and model tables in this order
// and each table in index order. Returns the number of lines appended (0 when nothing matches).
int ShowPickDetails(const TDocument& doc, int lineNo, TMessageLog& log);

// The index after the last vertex of the polyline or face figure that goes on from vertex index
// of PolyTable: the next vertex with seq 1 after index, or Count() + 1.
int FigureEnd(const TDocument& doc, int index);

// True when any item of any table, shown or not, came from data-file line lineNo.
bool LineHasItems(const TDocument& doc, int lineNo);

// Appends the summary of item index of the table that holds kind (a kind code; 10 to 14 are
// dimensions, 6 and 7 share the polyline table). A polyline or face vertex prints its whole
// figure from that vertex on. Returns false, appending nothing, when the kind has no table
// (text and unknown codes) or index is outside 1..count of that table.
bool ShowItemSummary(const TDocument& doc, int kind, int index, TMessageLog& log);

} // namespace hk
