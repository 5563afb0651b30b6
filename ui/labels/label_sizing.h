#pragma once

class QLabel;

namespace velkor {

// The edge of a label that stays where it was designed when the label grows to its caption.
enum class TKeptEdge { Left, Right };

// Grows a label to its caption, as a label with automatic sizing does, so that a face wider
// than the design's never cuts the caption off. The designed size stays the least: the window
// keeps its look where the caption already fits. A label kept at its right edge, next to the
// control it names, grows to the left, but never past its parent's left edge.
void SizeToCaption(QLabel &label, TKeptEdge kept = TKeptEdge::Left);

} // namespace velkor
