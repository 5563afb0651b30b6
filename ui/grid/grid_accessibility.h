#pragma once
// The data grid as a screen reader sees it: the factory of its accessible table, and the hook
// through which the grid says that what it shows may have changed.

class QAccessibleInterface;
class QObject;
class QString;

namespace velkor {

class TCustomDBGrid;

// The accessible table of a data grid; null for any other object (for QAccessible's factories).
[[nodiscard]] QAccessibleInterface *GridAccessibleFactory(const QString &className,
                                                          QObject *object);

// What the grid shows, or its current cell, may have changed. The reader hears of it once the
// change has settled (after the handler that made it), so a refresh that passes through a
// closed list and back to the same rows says nothing at all. Costs a lookup until something
// has asked for the grid's accessible table.
void GridAccessibilityChanged(TCustomDBGrid &grid);

} // namespace velkor
