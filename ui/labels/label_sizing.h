#pragma once

class QLabel;

namespace velkor {

// Grows a label to its caption, as a label with automatic sizing does, so that a face wider
// than the design's never cuts the caption off. The designed size stays the least: the window
// keeps its look where the caption already fits.
void SizeToCaption(QLabel &label);

} // namespace velkor
